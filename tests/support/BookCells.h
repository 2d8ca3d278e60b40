#pragma once

// Every cell value of a workbook as the independent reader (xlrd) sees it,
// and the same kept as an expectation that a test updates with each write
// it asks for. Comparing the two finds a write that is missing, wrong, or
// landed in a cell nobody asked for.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace zelvano::testing
{

struct BookCell {
    bool number = false;
    double value = 0; // when a number
    QString text;     // when a text (never empty: an empty cell is absent)
    QString show() const;
};

class BookCells
{
public:
    using Key = std::tuple<QString, int, int>; // sheet, row, column (1-based)

    // Reads the file with xlrd; nothing when it cannot be read (`error`
    // says why).
    static std::optional<BookCells> read(const QString& path, QString* error);

    std::optional<BookCell> cell(const QString& sheet, int row, int column) const;
    QString text(const QString& sheet, int row, int column) const; // numbers as shown
    void setNumber(const QString& sheet, int row, int column, double value);
    void setText(const QString& sheet, int row, int column, const QString& text);
    void clear(const QString& sheet, int row, int column);
    // The rows from `first` down whose column `column` is not empty.
    int runLength(const QString& sheet, int first, int column) const;

    // The cells where `actual` differs from this expectation, outside the
    // cells `ignored` leaves out; at most `limit` lines.
    QStringList differences(const BookCells& actual,
                            const std::function<bool(const Key&)>& ignored = {},
                            int limit = 20) const;

private:
    std::map<Key, BookCell> m_cells;
};

} // namespace zelvano::testing
