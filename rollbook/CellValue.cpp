#include "rollbook/CellValue.h"

#include "base/NumberText.h"

namespace zelvano::xls
{

CellValue CellValue::ofNumber(double v)
{
    CellValue c;
    c.type = Type::Number;
    c.number = v;
    return c;
}

CellValue CellValue::ofText(std::string v)
{
    CellValue c;
    c.type = Type::Text;
    c.text = std::move(v);
    return c;
}

CellValue CellValue::ofBoolean(bool v)
{
    CellValue c;
    c.type = Type::Boolean;
    c.boolean = v;
    return c;
}

CellValue CellValue::ofError(std::uint8_t code)
{
    CellValue c;
    c.type = Type::Error;
    c.error = code;
    return c;
}

std::string errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#ERR" + std::to_string(code) + "!";
    }
}

std::string CellValue::toText() const
{
    switch (type) {
    case Type::Number:
        return numberToText(number);
    case Type::Text:
        return text;
    case Type::Boolean:
        return boolean ? "TRUE" : "FALSE";
    case Type::Error:
        return errorText(error);
    case Type::Empty:
        break;
    }
    return {};
}

std::string trimmedText(const CellValue& value)
{
    std::string s = value.toText();
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::size_t utf16Units(std::string_view utf8)
{
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80)
            ++units;
        if (c >= 0xF0)
            ++units; // a character outside the BMP takes a surrogate pair
    }
    return units;
}

} // namespace zelvano::xls
