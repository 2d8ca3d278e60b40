// zelvano-xls: lists, dumps and changes the cells of an .xls workbook with
// the same engine the program uses, for scripts and tests.
#include "base/NumberText.h"
#include "rollbook/Workbook.h"
#include "rollbook/XlsError.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

using namespace zelvano::xls;

namespace
{

constexpr const char* kUsage =
    "usage: zelvano-xls sheets FILE | dump FILE [SHEET] | "
    "set FILE SHEET ROW COL (--number X | --text T | --empty) [SHEET ROW COL ...]";

// Arguments are UTF-8 on every system (converted from the wide command line
// on Windows), so a Chinese file name reaches the file system intact.
std::filesystem::path utf8Path(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

struct UsageError {
    std::string message;
};

std::string escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

int parseInt(const std::string& text, const char* what)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw UsageError{std::string("bad ") + what + " \"" + text + "\""};
    return value;
}

double parseNumber(const std::string& text)
{
    double value = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+')
        ++begin;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        throw UsageError{"bad number \"" + text + "\""};
    return value;
}

// A worksheet by name, else by its 1-based position.
std::size_t findSheet(const Workbook& wb, const std::string& sheet)
{
    const auto names = wb.worksheetNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == sheet)
            return i;
    int number = 0;
    const auto [end, ec] = std::from_chars(sheet.data(), sheet.data() + sheet.size(), number);
    if (ec == std::errc() && end == sheet.data() + sheet.size() && number >= 1 &&
        static_cast<std::size_t>(number) <= names.size())
        return static_cast<std::size_t>(number - 1);
    throw XlsError("no worksheet \"" + sheet + "\" in the workbook");
}

char typeLetter(CellValue::Type type)
{
    switch (type) {
    case CellValue::Type::Number:
        return 'n';
    case CellValue::Type::Text:
        return 's';
    case CellValue::Type::Boolean:
        return 'b';
    case CellValue::Type::Error:
        return 'e';
    default:
        return '?';
    }
}

// The dump goes out in pieces through one buffer, so a big workbook's
// listing is never held whole in memory and a line costs a few copies.
class Output
{
public:
    ~Output() { flush(); }

    // Room for `n` more bytes at the returned pointer; commit() what was used.
    char* room(std::size_t n)
    {
        if (m_used + n > m_buffer.size()) {
            flush();
            if (n > m_buffer.size())
                m_buffer.resize(n);
        }
        return m_buffer.data() + m_used;
    }
    void commit(char* end) { m_used = std::size_t(end - m_buffer.data()); }
    void flush()
    {
        std::fwrite(m_buffer.data(), 1, m_used, stdout);
        m_used = 0;
    }

private:
    std::vector<char> m_buffer = std::vector<char>(1 << 16);
    std::size_t m_used = 0;
};

// The shortest text that reads back as exactly the stored number, so a dump
// can be fed back to `set --number` without loss. Whole numbers and halves,
// the usual scores, skip the general search: below 1e4 their fixed form is
// the shortest, which to_chars would pick too.
char* putNumber(char* at, double value)
{
    if (value >= 0 && value < 1e4 && !std::signbit(value)) {
        const auto halves = static_cast<int>(value * 2);
        if (halves == value * 2) {
            at = std::to_chars(at, at + 16, halves / 2).ptr;
            if (halves % 2) {
                *at++ = '.';
                *at++ = '5';
            }
            return at;
        }
    }
    return std::to_chars(at, at + 64, value).ptr;
}

// A text as escape() writes it, straight into the output.
char* putEscaped(char* at, const std::string& text)
{
    for (char c : text) {
        char escaped = 0;
        switch (c) {
        case '\t':
            escaped = 't';
            break;
        case '\n':
            escaped = 'n';
            break;
        case '\r':
            escaped = 'r';
            break;
        case '\\':
            escaped = '\\';
            break;
        default:
            *at++ = c;
            continue;
        }
        *at++ = '\\';
        *at++ = escaped;
    }
    return at;
}

void dumpSheet(const Workbook& wb, std::size_t worksheet, Output& out)
{
    const std::string name = escape(wb.worksheetNames()[worksheet]) + '\t';
    // "sheet\trow\t", made again only when the row changes.
    std::string lead;
    int leadRow = 0;
    std::string text;
    wb.forEachCell(worksheet, [&](int row, int col, const CellValue& v) {
        if (v.type == CellValue::Type::Text && v.text.empty())
            return;
        if (row != leadRow || lead.empty()) {
            lead = name + std::to_string(row) + '\t';
            leadRow = row;
        }
        const bool number = v.type == CellValue::Type::Number;
        const bool isText = v.type == CellValue::Type::Text;
        if (!number && !isText)
            text = v.toText();
        const std::string& shown = isText ? v.text : text;
        // Escaping at most doubles a text.
        char* at = out.room(lead.size() + (number ? 0 : 2 * shown.size()) + 64);
        std::memcpy(at, lead.data(), lead.size());
        at += lead.size();
        at = std::to_chars(at, at + 16, col).ptr;
        *at++ = '\t';
        *at++ = typeLetter(v.type);
        *at++ = '\t';
        at = number ? putNumber(at, v.number) : putEscaped(at, shown);
        *at++ = '\n';
        out.commit(at);
    });
}

struct Change {
    std::string sheet;
    int row = 0;
    int col = 0;
    enum class Kind { Number, Text, Empty } kind = Kind::Empty;
    double number = 0;
    std::string text;
};

int listSheets(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        throw UsageError{"sheets takes one file"};
    const Workbook wb = Workbook::open(utf8Path(args[1]));
    std::string out;
    for (const auto& name : wb.worksheetNames())
        out += name + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int dump(const std::vector<std::string>& args)
{
    if (args.size() > 3)
        throw UsageError{"dump takes a file and at most one sheet"};
    const Workbook wb = Workbook::open(utf8Path(args[1]));
    Output out;
    if (args.size() == 3) {
        dumpSheet(wb, findSheet(wb, args[2]), out);
    } else {
        for (std::size_t i = 0; i < wb.worksheetCount(); ++i)
            dumpSheet(wb, i, out);
    }
    return 0;
}

// The changes of "set", each SHEET ROW COL followed by --number X,
// --text T or --empty.
std::vector<Change> parseChanges(const std::vector<std::string>& args)
{
    std::vector<Change> changes;
    std::size_t i = 2;
    while (i < args.size()) {
        if (i + 3 >= args.size())
            throw UsageError{"set needs SHEET ROW COL and --number X, --text T or --empty"};
        Change c;
        c.sheet = args[i];
        c.row = parseInt(args[i + 1], "row");
        c.col = parseInt(args[i + 2], "column");
        const std::string& what = args[i + 3];
        i += 4;
        if (what == "--empty") {
            c.kind = Change::Kind::Empty;
        } else if (what == "--number" || what == "--text") {
            if (i >= args.size())
                throw UsageError{what + " needs a value"};
            if (what == "--number") {
                c.kind = Change::Kind::Number;
                c.number = parseNumber(args[i]);
            } else {
                c.kind = Change::Kind::Text;
                c.text = args[i];
            }
            ++i;
        } else {
            throw UsageError{"expected --number, --text or --empty, not \"" + what + "\""};
        }
        changes.push_back(std::move(c));
    }
    if (changes.empty())
        throw UsageError{"set needs at least one change"};
    return changes;
}

int setCells(const std::vector<std::string>& args)
{
    const std::vector<Change> changes = parseChanges(args);
    Workbook wb = Workbook::open(utf8Path(args[1]));
    for (const Change& c : changes) {
        const std::size_t sheet = findSheet(wb, c.sheet);
        switch (c.kind) {
        case Change::Kind::Number:
            wb.setNumber(sheet, c.row, c.col, c.number);
            break;
        case Change::Kind::Text:
            wb.setText(sheet, c.row, c.col, c.text);
            break;
        case Change::Kind::Empty:
            wb.setEmpty(sheet, c.row, c.col);
            break;
        }
    }
    if (wb.isDirty())
        wb.save();
    return 0;
}

int run(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        throw UsageError{"missing command or file"};
    const std::string& command = args[0];
    if (command == "sheets")
        return listSheets(args);
    if (command == "dump")
        return dump(args);
    if (command == "set")
        return setCells(args);
    throw UsageError{"unknown command \"" + command + "\""};
}

} // namespace

static int runMain(const std::vector<std::string>& args)
{
    try {
        return run(args);
    } catch (const UsageError& e) {
        std::cerr << "zelvano-xls: " << e.message << " (" << kUsage << ")\n";
    } catch (const std::exception& e) {
        std::cerr << "zelvano-xls: " << e.what() << '\n';
    }
    return 1;
}

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    // Bytes out as they are: UTF-8 text with \n line ends.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? size - 1 : 0, '\0');
        if (size > 1)
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    return runMain(args);
}
#else
int main(int argc, char** argv)
{
    return runMain(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
