#pragma once

#include "classroom/logic/Roster.h"
#include "draw/DrawSession.h"

#include <QString>
#include <QStringList>

namespace zelvano
{

// The seven ways the name label shows a called person, in list order:
// 学号, 姓名, 学号姓名, 组号姓名, 组号组员号姓名, 组号学号姓名, 组号组员号学号姓名.
QStringList compositionEntries();

// The six items of the "组合方式(&G)" menu; the list entry 组号组员号姓名 has
// no item.
QStringList compositionMenuCaptions();

// The menu item showing list entry `listIndex` (by caption), -1 when the
// menu has none; and the list entry a menu item stands for.
int menuItemOfComposition(int listIndex);
int compositionOfMenuItem(int menuItem);

// The name label's text for a called person in composition `mode`.
QString composeRollCall(int mode, int group, int member, const QString& number,
                        const QString& name);

// The line under the group lists: "第 2 组 3 号 ，12 张三".
QString calledPersonLine(int group, int member, const QString& number, const QString& name);

// How the classroom's draw shows a roster position: the name label and the
// line in the chosen composition, the name as the member list's entry.
// `roster` must outlive the texts.
DrawTexts classroomDrawTexts(const std::vector<Person>& roster);

// "40人 分组规则"
QString groupPanelTitle(int personCount);

// The big label before anyone is called: "随机\r\n点名" or "顺序\r\n点名".
QString drawOrderCaption(int drawOrder);

} // namespace zelvano
