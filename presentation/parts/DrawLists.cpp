#include "presentation/parts/DrawLists.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace zelvano
{

void showDrawLists(const DrawLists& lists, const DrawView& view, const DrawChange& change)
{
    const QSignalBlocker groupsQuiet(lists.groups);
    const QSignalBlocker membersQuiet(lists.members);
    if (change.groups) {
        lists.groups->clear();
        for (int g = 1; g <= view.groupCount; ++g)
            lists.groups->addItem(QString::number(g));
    }
    if (change.group) {
        lists.members->clear();
        // In one go: a group may hold thousands of values.
        QStringList members;
        members.reserve(static_cast<int>(view.members.size()));
        for (const QString& member : view.members)
            members << member;
        lists.members->addItems(members);
        // With no group selected the last summary stays.
        if (view.group >= 0)
            lists.summary->setText(view.summary);
    }
    if (change.groups || change.group || change.member) {
        lists.groups->setCurrentRow(view.group);
        lists.members->setCurrentRow(view.member);
    }
}

} // namespace zelvano
