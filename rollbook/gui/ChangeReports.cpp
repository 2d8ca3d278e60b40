// The roll book's reports about changes that waited for the file, in the
// teacher's words; the logic only counts and places them.
#include "rollbook/gui/ChangeReports.h"

#include <QStringList>

#include <map>

namespace zelvano
{

namespace
{

// Addresses listed per reason before the rest is only counted.
constexpr int kListedAddresses = 5;

QString reasonText(KeptReason reason)
{
    switch (reason) {
    case KeptReason::SheetGone:
        return QStringLiteral("所在的工作表已不存在");
    case KeptReason::SheetUnreadable:
        return QStringLiteral("所在的工作表无法读取");
    case KeptReason::RowGone:
        return QStringLiteral("找不到原来那一行的人或奖品");
    case KeptReason::RowAmbiguous:
        return QStringLiteral("原来那一行的人或奖品出现在不止一行");
    case KeptReason::CellTaken:
        return QStringLiteral("那一格已写入别的内容");
    case KeptReason::Refused:
        return QStringLiteral("那一格不能单独修改");
    }
    return {};
}

QString placeText(const PendingChange& change)
{
    QString text = cellAddress(change.sheet, change.row, change.column);
    if (!change.anchor.keys.empty())
        text += QStringLiteral("（%1）").arg(change.anchor.keyText());
    return text;
}

QString valueText(const CellContent& value)
{
    if (const double* number = std::get_if<double>(&value))
        return QString::number(*number, 'g', 15);
    const QString& text = std::get<QString>(value);
    return text.isEmpty() ? QStringLiteral("清空") : QStringLiteral("“%1”").arg(text);
}

} // namespace

QString reloadReport(int rewritten, const std::vector<KeptChange>& kept, const QString& fileName)
{
    QString text = QStringLiteral("%1已被其他程序修改，已重新读取；").arg(fileName);
    if (rewritten > 0 || kept.empty())
        text += QStringLiteral("\r\n本程序尚未保存的%1处修改已重新写入。").arg(rewritten);
    if (kept.empty())
        return text;
    text += QStringLiteral("\r\n另有%1处修改没有写入，仍由本程序保留：").arg(kept.size());
    std::map<KeptReason, QStringList> byReason;
    for (const KeptChange& change : kept)
        byReason[change.reason] << placeText(change.change);
    for (const auto& [reason, places] : byReason) {
        QStringList listed = places.mid(0, kListedAddresses);
        if (places.size() > kListedAddresses)
            listed << QStringLiteral("等");
        text += QStringLiteral("\r\n%1处%2：%3")
                    .arg(places.size())
                    .arg(reasonText(reason), listed.join(QStringLiteral("、")));
    }
    return text;
}

QString unplacedReport(const std::vector<KeptChange>& kept, const QString& fileName)
{
    QString text =
        QStringLiteral("以下%1处修改没能写入%2，请手动补记：").arg(kept.size()).arg(fileName);
    for (const KeptChange& change : kept) {
        text += QStringLiteral("\r\n%1 写入%2（%3）")
                    .arg(placeText(change.change), valueText(change.change.value),
                         reasonText(change.reason));
    }
    return text;
}

} // namespace zelvano
