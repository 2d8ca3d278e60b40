#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelvano::xls
{

// A cell's value as the workbook holds it (for a formula: its last result).
struct CellValue {
    enum class Type { Empty, Number, Text, Boolean, Error };

    Type type = Type::Empty;
    double number = 0.0;
    std::string text;       // UTF-8, for Text
    bool boolean = false;   // for Boolean
    std::uint8_t error = 0; // BIFF error code, for Error

    static CellValue ofNumber(double v);
    static CellValue ofText(std::string v);
    static CellValue ofBoolean(bool v);
    static CellValue ofError(std::uint8_t code);

    bool isEmpty() const { return type == Type::Empty; }

    // The value as a person reads it: numbers by numberToText, Booleans as
    // "TRUE"/"FALSE", errors as "#N/A" and the like, empty as "".
    std::string toText() const;

    bool operator==(const CellValue&) const = default;
};

// "#DIV/0!" and the like for a BIFF error code.
std::string errorText(std::uint8_t code);

// toText() without leading and trailing spaces: how the program compares
// numbers, names and end-of-list cells.
std::string trimmedText(const CellValue& value);

// How many UTF-16 code units the UTF-8 text takes: what Excel's limits on
// a cell's text and a sheet's name count.
std::size_t utf16Units(std::string_view utf8);

} // namespace zelvano::xls
