#pragma once

// What openpyxl, an independent reader, finds in a saved .xlsx roll book:
// the window tests of the .xlsx roll books check the cells through it.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace zelvano::testing
{

inline QString runOpenpyxl(const QString& script, const QStringList& args)
{
    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON), QStringList{QStringLiteral("-c"), script} + args);
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QStringLiteral("<openpyxl failed: %1>")
            .arg(QString::fromUtf8(python.readAllStandardError()));
    return QString::fromUtf8(python.readAllStandardOutput());
}

// A sheet's cells holding a value (formulas by their cached value):
// "row,col" -> number or text. openpyxl 3.0 leaves the _xHHHH_ escapes of
// control characters in the text; they are decoded here, as Excel does.
inline QJsonObject openpyxlCells(const QString& path, const QString& sheet)
{
    const QString out = runOpenpyxl(
        QStringLiteral("import sys, json, re, warnings, openpyxl\n"
                       "warnings.simplefilter('ignore')\n"
                       "ws = openpyxl.load_workbook(sys.argv[1], data_only=True)[sys.argv[2]]\n"
                       "def text(v):\n"
                       "    return re.sub('_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), "
                       "16)), v) if isinstance(v, str) else v\n"
                       "print(json.dumps({'%d,%d' % (c.row, c.column): text(c.value)\n"
                       "    for r in ws.iter_rows() for c in r\n"
                       "    if c.value is not None and c.value != ''}, default=str))"),
        {path, sheet});
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

// The text of one part of the package, as Python's zipfile reads it.
inline QString packagePart(const QString& path, const QString& part)
{
    return runOpenpyxl(QStringLiteral("import sys, zipfile\n"
                                      "sys.stdout.write(zipfile.ZipFile(sys.argv[1])"
                                      ".read(sys.argv[2]).decode('utf-8'))"),
                       {path, part});
}

// `after` holds what `before` held with exactly `changes` made (a null
// value: the cell emptied); the first difference otherwise.
inline QString cellDifference(QJsonObject before, const QJsonObject& after,
                              const QJsonObject& changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isNull())
            before.remove(it.key());
        else
            before.insert(it.key(), it.value());
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (after.value(it.key()) != it.value())
            return it.key() + QStringLiteral(": expected ") + it.value().toVariant().toString() +
                   QStringLiteral(", found ") + after.value(it.key()).toVariant().toString();
    }
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()))
            return it.key() + QStringLiteral(": unexpected ") + it.value().toVariant().toString();
    }
    return {};
}

} // namespace zelvano::testing
