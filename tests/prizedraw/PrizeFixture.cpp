#include "PrizeFixture.h"

#include "rollbook/Workbook.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryFile>

namespace zelvano::testing
{

namespace
{

QString script()
{
    return QStringLiteral(ZELVANO_SOURCE_DIR "/tests/prizedraw/prize_books.py");
}

QString lockPath(const QString& appDir)
{
    return QDir(appDir).filePath(QStringLiteral(".~lock.点名册.xls#"));
}

} // namespace

SheetSpec prizeSheet(const QList<PrizeRowSpec>& prizes, const QStringList& people)
{
    SheetSpec sheet{QStringLiteral("抽奖品"), {}};
    sheet.cells << QVariantList{1, 2, QStringLiteral("年会抽奖")}
                << QVariantList{1, 5, QStringLiteral("工会")};
    const char* headings[] = {"序", "奖项", "奖品", "图片", "库存", "已用", "获奖名单"};
    for (int c = 0; c < 7; ++c)
        sheet.cells << QVariantList{2, c + 1, QString::fromUtf8(headings[c])};
    int row = 3;
    for (const PrizeRowSpec& prize : prizes) {
        sheet.cells << QVariantList{row, 1, row - 2} << QVariantList{row, 2, prize.level}
                    << QVariantList{row, 3, prize.name};
        if (!prize.picture.isEmpty())
            sheet.cells << QVariantList{row, 4, prize.picture};
        sheet.cells << QVariantList{row, 5, prize.stock} << QVariantList{row, 6, prize.used};
        ++row;
    }
    row = 21;
    for (const QString& person : people) {
        sheet.cells << QVariantList{row, 1, QString::number(row - 20)}
                    << QVariantList{row, 2, person};
        ++row;
    }
    return sheet;
}

QString makeBook(const QString& path, const QList<SheetSpec>& sheets)
{
    QJsonArray spec;
    for (const SheetSpec& sheet : sheets) {
        QJsonArray cells;
        for (const QVariantList& cell : sheet.cells)
            cells.append(QJsonArray::fromVariantList(cell));
        spec.append(
            QJsonObject{{QStringLiteral("name"), sheet.name}, {QStringLiteral("cells"), cells}});
    }
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("no temporary file");
    file.write(QJsonDocument(spec).toJson());
    file.flush();
    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON),
                 {script(), QStringLiteral("make"), file.fileName(), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QString::fromUtf8(python.readAllStandardError());
    return {};
}

QString insertSheet(const QString& path, int at, const QString& name)
{
    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON),
                 {script(), QStringLiteral("insert"), path, QString::number(at), name});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QString::fromUtf8(python.readAllStandardError());
    return {};
}

xls::CellValue savedCell(const QString& path, const QString& sheet, int row, int column)
{
    const xls::Workbook book = xls::Workbook::open(std::filesystem::path(path.toStdU16String()));
    const auto names = book.worksheetNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (QString::fromStdString(names[i]) == sheet)
            return book.cell(i, row, column);
    }
    return {};
}

QString savedText(const QString& path, const QString& sheet, int row, int column)
{
    return QString::fromStdString(savedCell(path, sheet, row, column).toText());
}

QJsonObject xlrdCells(const QString& path, const QString& sheet)
{
    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON), {script(), QStringLiteral("dump"), path, sheet});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

void lockBook(const QString& appDir)
{
    QFile lock(lockPath(appDir));
    if (lock.open(QIODevice::WriteOnly))
        lock.write(",host,FESTSAAL-PC,08.12.2026 10:00,file:///C:/Users/host;");
}

void unlockBook(const QString& appDir)
{
    QFile::remove(lockPath(appDir));
}

} // namespace zelvano::testing
