#include "BookCells.h"

#include <QProcess>

#include <cmath>

namespace zelvano::testing
{

namespace
{

QString unescape(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('\\') || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const QChar next = field[++i];
        out += next == QLatin1Char('t')   ? QChar(u'\t')
               : next == QLatin1Char('n') ? QChar(u'\n')
               : next == QLatin1Char('r') ? QChar(u'\r')
                                          : next;
    }
    return out;
}

bool same(const BookCell& a, const BookCell& b)
{
    if (a.number != b.number)
        return false;
    if (!a.number)
        return a.text == b.text;
    // A score is summed in single precision and stored as the decimal it
    // stands for; both sides agree far closer than this.
    return std::abs(a.value - b.value) <= 1e-6 * std::max(1.0, std::abs(a.value));
}

QString escaped(QString text)
{
    return text.replace(QLatin1String("\r"), QLatin1String("\\r"))
        .replace(QLatin1String("\n"), QLatin1String("\\n"));
}

} // namespace

QString BookCell::show() const
{
    return number ? QString::number(value, 'g', 15)
                  : QLatin1Char('"') + escaped(text) + QLatin1Char('"');
}

std::optional<BookCells> BookCells::read(const QString& path, QString* error)
{
    QProcess python;
    // -O: xlrd would assert on a string count that some writers get wrong.
    python.start(QStringLiteral(ZELVANO_PYTHON),
                 {QStringLiteral("-O"),
                  QStringLiteral(ZELVANO_SOURCE_DIR "/tests/rollbook/xlrd_dump.py"), path});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("xlrd cannot read %1: %2")
                         .arg(path, QString::fromUtf8(python.readAllStandardError()).trimmed());
        return std::nullopt;
    }
    BookCells book;
    const QString out = QString::fromUtf8(python.readAllStandardOutput());
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() != 5)
            continue;
        BookCell cell;
        cell.number = f[3] == QLatin1String("n");
        if (cell.number)
            cell.value = f[4].toDouble();
        else
            cell.text = unescape(f[4]);
        book.m_cells[{unescape(f[0]), f[1].toInt(), f[2].toInt()}] = cell;
    }
    return book;
}

std::optional<BookCell> BookCells::cell(const QString& sheet, int row, int column) const
{
    const auto it = m_cells.find({sheet, row, column});
    if (it == m_cells.end())
        return std::nullopt;
    return it->second;
}

QString BookCells::text(const QString& sheet, int row, int column) const
{
    const auto found = cell(sheet, row, column);
    if (!found)
        return {};
    return found->number ? QString::number(found->value, 'g', 15) : found->text;
}

void BookCells::setNumber(const QString& sheet, int row, int column, double value)
{
    BookCell cell;
    cell.number = true;
    cell.value = value;
    m_cells[{sheet, row, column}] = cell;
}

void BookCells::setText(const QString& sheet, int row, int column, const QString& text)
{
    if (text.isEmpty()) {
        clear(sheet, row, column);
        return;
    }
    BookCell cell;
    cell.text = text;
    m_cells[{sheet, row, column}] = cell;
}

void BookCells::clear(const QString& sheet, int row, int column)
{
    m_cells.erase({sheet, row, column});
}

int BookCells::runLength(const QString& sheet, int first, int column) const
{
    int row = first;
    while (!text(sheet, row, column).trimmed().isEmpty())
        ++row;
    return row - first;
}

QStringList BookCells::differences(const BookCells& actual,
                                   const std::function<bool(const Key&)>& ignored, int limit) const
{
    QStringList lines;
    int count = 0;
    const auto report = [&](const Key& key, const QString& expected, const QString& found) {
        if (ignored && ignored(key))
            return;
        if (++count <= limit)
            lines << QStringLiteral("%1!R%2C%3 expected %4, file holds %5")
                         .arg(std::get<0>(key))
                         .arg(std::get<1>(key))
                         .arg(std::get<2>(key))
                         .arg(expected, found);
    };
    const QString empty = QStringLiteral("(empty)");
    for (const auto& [key, cell] : m_cells) {
        const auto it = actual.m_cells.find(key);
        if (it == actual.m_cells.end())
            report(key, cell.show(), empty);
        else if (!same(cell, it->second))
            report(key, cell.show(), it->second.show());
    }
    for (const auto& [key, cell] : actual.m_cells) {
        if (!m_cells.count(key))
            report(key, empty, cell.show());
    }
    if (count > limit)
        lines << QStringLiteral("... %1 cells in all").arg(count);
    return lines;
}

} // namespace zelvano::testing
