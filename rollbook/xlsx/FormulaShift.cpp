#include "rollbook/xlsx/FormulaShift.h"

#include "rollbook/xlsx/CellRef.h"

namespace zelvano::xls
{

namespace
{

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Characters of names, references and numbers; bytes of UTF-8 sequences
// belong to names.
bool isNameChar(char c)
{
    return isLetter(c) || isDigit(c) || c == '_' || c == '.' || c == '$' || c == '\\' || c == '?' ||
           static_cast<unsigned char>(c) >= 0x80;
}

struct Part {
    bool absolute = false;
    int value = 0;
};

// "$AB" or "AB" as a column.
std::optional<Part> columnPart(std::string_view s)
{
    Part p;
    if (!s.empty() && s.front() == '$') {
        p.absolute = true;
        s.remove_prefix(1);
    }
    const auto col = parseColumnName(s);
    if (!col)
        return std::nullopt;
    p.value = *col;
    return p;
}

// "$12" or "12" as a row.
std::optional<Part> rowPart(std::string_view s)
{
    Part p;
    if (!s.empty() && s.front() == '$') {
        p.absolute = true;
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 7 || s.front() == '0')
        return std::nullopt;
    for (char c : s) {
        if (!isDigit(c))
            return std::nullopt;
        p.value = p.value * 10 + (c - '0');
    }
    if (p.value > kXlsxMaxRow)
        return std::nullopt;
    return p;
}

// A moved part as text; nothing when it leaves the sheet.
std::optional<std::string> moved(Part p, int by, int max, bool column)
{
    const int v = p.absolute ? p.value : p.value + by;
    if (v < 1 || v > max)
        return std::nullopt;
    return (p.absolute ? "$" : "") + (column ? columnName(v) : std::to_string(v));
}

// A cell reference token ("$A1"): its column and row parts, if it is one.
std::optional<std::pair<Part, Part>> cellToken(std::string_view token)
{
    std::size_t i = token.empty() || token.front() != '$' ? 0 : 1;
    while (i < token.size() && isLetter(token[i]))
        ++i;
    const auto col = columnPart(token.substr(0, i));
    const auto row = rowPart(token.substr(i));
    if (!col || !row)
        return std::nullopt;
    return std::make_pair(*col, *row);
}

class Shifter
{
public:
    Shifter(std::string_view f, int rows, int cols) : m_f(f), m_rows(rows), m_cols(cols) {}

    std::optional<std::string> run()
    {
        while (m_at < m_f.size()) {
            const char c = m_f[m_at];
            bool ok = true;
            if (c == '"' || c == '\'')
                ok = quoted(c);
            else if (c == '[')
                ok = bracket();
            else if (c == '#')
                errorLiteral();
            else if (isNameChar(c))
                ok = token();
            else
                m_out += m_f[m_at++];
            if (!ok)
                return std::nullopt;
        }
        return m_out;
    }

private:
    // A string or a quoted sheet name; a doubled quote stands for one.
    bool quoted(char quote)
    {
        const std::size_t from = m_at++;
        while (m_at < m_f.size()) {
            if (m_f[m_at++] != quote)
                continue;
            if (m_at < m_f.size() && m_f[m_at] == quote) {
                ++m_at;
                continue;
            }
            m_out.append(m_f.substr(from, m_at - from));
            return true;
        }
        return false;
    }

    // A structured reference or an external book's number: never moved.
    bool bracket()
    {
        const std::size_t from = m_at;
        int depth = 0;
        while (m_at < m_f.size()) {
            const char c = m_f[m_at++];
            if (c == '\'' && m_at < m_f.size()) {
                ++m_at; // an escaped character inside a table reference
                continue;
            }
            depth += c == '[' ? 1 : c == ']' ? -1 : 0;
            if (depth == 0) {
                m_out.append(m_f.substr(from, m_at - from));
                return true;
            }
        }
        return false;
    }

    void errorLiteral()
    {
        const std::size_t from = m_at++;
        while (m_at < m_f.size() &&
               (isLetter(m_f[m_at]) || isDigit(m_f[m_at]) || m_f[m_at] == '/' || m_f[m_at] == '_'))
            ++m_at;
        if (m_at < m_f.size() && (m_f[m_at] == '!' || m_f[m_at] == '?'))
            ++m_at;
        m_out.append(m_f.substr(from, m_at - from));
    }

    std::string_view nextToken(std::size_t from) const
    {
        std::size_t end = from;
        while (end < m_f.size() && isNameChar(m_f[end]))
            ++end;
        return m_f.substr(from, end - from);
    }

    bool token()
    {
        const std::string_view t = nextToken(m_at);
        const std::size_t after = m_at + t.size();
        const char next = after < m_f.size() ? m_f[after] : '\0';
        m_at = after;
        if (next == '(' || next == '!' || next == '[') { // function, sheet, table
            m_out.append(t);
            return true;
        }
        if (isDigit(t.front()) || t.front() == '.' ||
            (t.front() == '$' && t.size() > 1 && isDigit(t[1])))
            return numberOrRows(t, next);
        if (const auto cell = cellToken(t)) {
            const auto col = moved(cell->first, m_cols, kXlsxMaxColumn, true);
            const auto row = moved(cell->second, m_rows, kXlsxMaxRow, false);
            if (!col || !row)
                return false;
            m_out += *col + *row;
            return true;
        }
        if (next == ':' && columnPart(t) && columnPart(nextToken(after + 1)))
            return span(t, true);
        m_out.append(t);
        return true;
    }

    // "3:5" (whole rows) or a number, with an exponent's sign ("1E+5").
    bool numberOrRows(std::string_view t, char next)
    {
        if (next == ':' && rowPart(t) && rowPart(nextToken(m_at + 1)))
            return span(t, false);
        m_out.append(t);
        const char last = t.back();
        if ((last == 'E' || last == 'e') && (next == '+' || next == '-')) {
            m_out += next;
            ++m_at;
        }
        return true;
    }

    // "A:C" or "3:5": both ends moved.
    bool span(std::string_view first, bool columns)
    {
        const std::string_view second = nextToken(m_at + 1);
        const int by = columns ? m_cols : m_rows;
        const int max = columns ? kXlsxMaxColumn : kXlsxMaxRow;
        const auto a = columns ? columnPart(first) : rowPart(first);
        const auto b = columns ? columnPart(second) : rowPart(second);
        const auto ma = moved(*a, by, max, columns);
        const auto mb = moved(*b, by, max, columns);
        if (!ma || !mb)
            return false;
        m_out += *ma + ":" + *mb;
        m_at += 1 + second.size();
        return true;
    }

    std::string_view m_f;
    int m_rows;
    int m_cols;
    std::size_t m_at = 0;
    std::string m_out;
};

} // namespace

std::optional<std::string> shiftFormula(std::string_view formula, int rows, int cols)
{
    return Shifter(formula, rows, cols).run();
}

} // namespace zelvano::xls
