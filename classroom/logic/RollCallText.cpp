#include "classroom/logic/RollCallText.h"

namespace zelvano
{

QStringList compositionEntries()
{
    return {QStringLiteral("学号"),
            QStringLiteral("姓名"),
            QStringLiteral("学号姓名"),
            QStringLiteral("组号姓名"),
            QStringLiteral("组号组员号姓名"),
            QStringLiteral("组号学号姓名"),
            QStringLiteral("组号组员号学号姓名")};
}

QStringList compositionMenuCaptions()
{
    return {QStringLiteral("学号"),         QStringLiteral("姓名"),
            QStringLiteral("学号姓名"),     QStringLiteral("组号姓名"),
            QStringLiteral("组号学号姓名"), QStringLiteral("组号组员号学号姓名")};
}

int menuItemOfComposition(int listIndex)
{
    const QStringList entries = compositionEntries();
    if (listIndex < 0 || listIndex >= entries.size())
        return -1;
    return static_cast<int>(compositionMenuCaptions().indexOf(entries[listIndex]));
}

int compositionOfMenuItem(int menuItem)
{
    const QStringList items = compositionMenuCaptions();
    if (menuItem < 0 || menuItem >= items.size())
        return -1;
    return static_cast<int>(compositionEntries().indexOf(items[menuItem]));
}

QString composeRollCall(int mode, int group, int member, const QString& number, const QString& name)
{
    const QString br = QStringLiteral("\r\n");
    switch (mode) {
    case 0:
        return br + number;
    case 1:
        return br + name;
    case 3:
        return QStringLiteral("%1组 ").arg(group) + br + name;
    case 4:
        return QStringLiteral("%1组%2号").arg(group).arg(member) + br + name;
    case 5:
        return QStringLiteral("%1组").arg(group) + br + number + name;
    case 6:
        return QStringLiteral("%1组%2号").arg(group).arg(member) + br + number + name;
    case 2:
    default:
        return number + br + name;
    }
}

DrawTexts classroomDrawTexts(const std::vector<Person>& roster)
{
    DrawTexts texts;
    texts.result = [&roster](int composition, int group, int member, const QString& key) {
        const Person* person = personAt(roster, key);
        return person ? composeRollCall(composition, group, member, person->number, person->name)
                      : QString();
    };
    texts.line = [&roster](int group, int member, const QString& key) {
        const Person* person = personAt(roster, key);
        return person ? calledPersonLine(group, member, person->number, person->name) : QString();
    };
    texts.entry = [&roster](const QString& key) {
        const Person* person = personAt(roster, key);
        return person ? person->name : QString();
    };
    return texts;
}

QString calledPersonLine(int group, int member, const QString& number, const QString& name)
{
    return QStringLiteral("第 %1 组 %2 号 ，%3 %4").arg(group).arg(member).arg(number, name);
}

QString groupPanelTitle(int personCount)
{
    return QStringLiteral("%1人 分组规则").arg(personCount);
}

QString drawOrderCaption(int drawOrder)
{
    return drawOrder == 0 ? QStringLiteral("随机\r\n点名") : QStringLiteral("顺序\r\n点名");
}

} // namespace zelvano
