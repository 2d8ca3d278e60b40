#include "classroom/logic/PastedClass.h"

#include "rollbook/SheetName.h"
#include "rollbook/ops/RollBook.h"

#include <QRegularExpression>

#include <map>

namespace zelvano
{

namespace
{

bool isHan(QChar c)
{
    return (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) || c == QChar(0x00B7);
}

// Spaces inside a name of Chinese characters only are layout, not part of
// it; a numbered list's "1." or "3）" before a name is not part of it either.
QString cleanName(const QString& piece)
{
    static const QRegularExpression numbering(
        QStringLiteral("^[0-9０-９]+\\s*[.．)）:：]\\s*(?=\\D)"));
    QString name = piece.simplified().remove(numbering);
    const QString joined = QString(name).remove(QLatin1Char(' '));
    for (QChar c : joined)
        if (!isHan(c))
            return name;
    return joined;
}

bool isColumnLabel(const QString& name)
{
    static const QStringList labels{QStringLiteral("姓名"), QStringLiteral("名字"),
                                    QStringLiteral("学生姓名"), QStringLiteral("学号"),
                                    QStringLiteral("序号")};
    return labels.contains(name);
}

bool isNumber(const QString& name)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9０-９]+[.、)）]?$"));
    return digits.match(name).hasMatch();
}

} // namespace

PastedClass readPastedClass(const QString& text)
{
    PastedClass out;
    QString all = text;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // The line break after the last name is not an empty line.
    while (all.endsWith(QLatin1Char('\n')))
        all.chop(1);
    if (all.trimmed().isEmpty())
        return out;
    static const QRegularExpression separators(QStringLiteral("[\\t,，、]"));
    std::map<QString, int> numberOf;
    for (const QString& line : all.split(QLatin1Char('\n'))) {
        for (const QString& piece : line.split(separators)) {
            PastedEntry entry;
            entry.name = cleanName(piece);
            if (entry.name.isEmpty()) {
                entry.kind = PastedEntry::Kind::Empty;
                ++out.empties;
            } else if (isNumber(entry.name) || isColumnLabel(entry.name)) {
                entry.kind = PastedEntry::Kind::Skipped;
                ++out.skipped;
            } else if (const auto it = numberOf.find(entry.name); it != numberOf.end()) {
                entry.kind = PastedEntry::Kind::Duplicate;
                entry.number = it->second;
                ++out.duplicates;
            } else {
                entry.number = ++out.persons;
                numberOf.emplace(entry.name, entry.number);
            }
            out.entries.push_back(entry);
        }
    }
    return out;
}

QStringList PastedClass::names() const
{
    QStringList out;
    for (const PastedEntry& e : entries)
        if (e.kind == PastedEntry::Kind::Person)
            out << e.name;
    return out;
}

QString PastedClass::summary() const
{
    QString text = QStringLiteral("%1人").arg(persons);
    if (duplicates > 0)
        text += QStringLiteral("，重复%1人已标出").arg(duplicates);
    if (empties > 0)
        text += QStringLiteral("，空行%1处已略过").arg(empties);
    if (skipped > 0)
        text += QStringLiteral("，序号或列名%1处已略过").arg(skipped);
    return text;
}

QString classNameProblem(const QString& name, const QStringList& sheets)
{
    // A class of the prize sheet's name would be taken for the prize sheet.
    if (name == QString::fromUtf16(kPrizeSheetName))
        return QStringLiteral("“%1”是奖品表的名称，请换一个名字。").arg(name);
    std::vector<std::string> existing;
    for (const QString& sheet : sheets)
        existing.push_back(sheet.toStdString());
    switch (xls::checkSheetName(name.toStdString(), existing)) {
    case xls::SheetNameProblem::None:
        return {};
    case xls::SheetNameProblem::Empty:
        return QStringLiteral("请给班级起个名字。");
    case xls::SheetNameProblem::TooLong:
        return QStringLiteral("班级名称最多31个字。");
    case xls::SheetNameProblem::BadCharacter:
        return QStringLiteral("班级名称不能含有 : \\ / ? * [ ] 这些符号。");
    case xls::SheetNameProblem::EdgeApostrophe:
        return QStringLiteral("班级名称不能以单引号开头或结尾。");
    case xls::SheetNameProblem::Reserved:
        return QStringLiteral("“%1”不能用作工作表名称，请换一个名字。").arg(name);
    case xls::SheetNameProblem::Taken:
        break;
    }
    return QStringLiteral("点名册中已有名为“%1”的工作表，请换一个名字。").arg(name);
}

std::vector<CellWrite> classSheetCells(const QString& className, const QStringList& names)
{
    std::vector<CellWrite> cells{{1, 1, className, {}}};
    const QStringList labels{QStringLiteral("学号"), QStringLiteral("姓名"),
                             QStringLiteral("性别"), QStringLiteral("备注"),
                             QStringLiteral("组号"), QStringLiteral("组员号")};
    for (int c = 0; c < labels.size(); ++c)
        cells.push_back({2, c + 1, labels[c], {}});
    for (int k = 0; k < names.size(); ++k) {
        cells.push_back({k + 3, 1, double(k + 1), {}});
        cells.push_back({k + 3, 2, names[k], {}});
    }
    return cells;
}

} // namespace zelvano
