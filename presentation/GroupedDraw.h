#pragma once

#include "base/ItemArray.h"
#include "draw/DrawSession.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/OncePerInputMessages.h"
#include "shell/core/SettingsColumns.h"

#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QFrame;

namespace zelvano
{

class DisplayFormat;
class SettingsStore;
class SpeechTimer;

// The draw of a window that calls from a DrawSession through groups (the
// number and seat window, the classroom): the grouping panel's boxes and
// lists, the order, 重复, 滚动 and composition items, the direct choice from
// the name menu, and the settings both windows keep in the same columns.
// The windows' handlers forward here and add what only they show.
class GroupedDraw : public QObject
{
public:
    // How the composition list's entries (cmbZh) and the composition menu's
    // items (MnZh) match: the classroom's list has an entry without an item.
    struct Compositions {
        int entryCount = 0;
        int fallback = 0;                    // the entry a stored value out of range becomes
        std::function<int(int)> entryOfItem; // -1: no entry
        std::function<int(int)> itemOfEntry; // -1: no item
    };
    // `onCalled` shows the value or person a change called.
    GroupedDraw(DrawSession& session, MessageService& messages, std::function<void()> onCalled,
                QObject* parent);

    void attachPanel(QFrame* panel, const GroupControls& controls, Compositions compositions);
    // The items of 摇号方式 and 摇号计时 the draw follows. With
    // `refillOnRepeat`, "重复" switched on makes every value drawable again.
    void attachItems(const ItemArray<DrawOrder, QAction*, 2>& order, QAction* repeat,
                     QAction* rolling, QAction* nextGroup, std::vector<QAction*> compositions,
                     bool refillOnRepeat);
    // The name menu's item `index`, made when first asked for.
    void setNameItems(std::function<QAction*(int)> nameItem) { m_nameItem = std::move(nameItem); }
    // The panel moves to the top of the canvas; its present size is its design.
    void rememberPanelDesign();

    // "滚动": a draw rolls before it rests.
    bool rolls() const { return m_rolls; }
    // The grouping box chosen (OptFz): 0 the group count, 1 the size.
    int groupBox() const { return m_groupBox; }
    int groupCount() const { return m_groupCount; }
    int groupSize() const { return m_groupSize; }
    void setGrouping(int groupCount, int groupSize);

    // What a change of the draw shows in the lists, and the call it made.
    void show(const DrawChange& change);
    void selectGroup(int row) { show(m_session.selectGroup(row)); }
    void selectMember(int row) { show(m_session.selectMember(row)); }
    void nextGroup() { show(m_session.nextGroup()); }
    void pick(int index) { show(m_session.pick(index)); }

    // MnSx: false for an index that names no order.
    bool chooseOrder(int index);
    // cmbZh, and MnZh which chooses the matching entry.
    void chooseComposition(int entry);
    void chooseCompositionItem(int item);
    // MnXm: the item chosen is greyed and the one before available again;
    // false when `index` names no item, or none under `count`.
    bool chooseNameItem(int index, int count);
    int chosenName() const { return m_chosenName; }
    void forgetChosenName() { m_chosenName = -1; }

    // OptFz: the chosen box takes input, both show the present grouping.
    void chooseGroupBox(int index);
    // Enter in a grouping box or leaving it: the other box follows, or the
    // refusal is told once for the input.
    bool takeGroupInput(int index, int valueCount, int upperBound);
    // The groups were formed: the grouping icons go, `hint` tells what next.
    void groupsFormed(const QString& hint);

    // The panel at `scale` of its design, within `room`, its lists' text in
    // proportion.
    void scalePanel(double scale, QSize room);
    // Back at its design size (the draws may have scaled it).
    void unscalePanel(QSize room) { m_scaledPanel.scaleTo(1, room); }

    // The settings both windows keep alike; the composition in `column`.
    void readSettings(SettingsStore& settings, Setting compositionColumn, SpeechTimer& timer,
                      DisplayFormat& format);
    // Written in two parts, since the classroom writes its scoring between
    // them: the look, composition, order and timer, then 重复 and 滚动.
    void writeSettings(SettingsStore& settings, Setting compositionColumn, const SpeechTimer& timer,
                       const DisplayFormat& format) const;
    void writeRepeatAndRolling(SettingsStore& settings) const;

private:
    struct Items {
        ItemArray<DrawOrder, QAction*, 2> order{}; // MnSx
        QAction* repeat = nullptr;                 // 重复
        QAction* rolling = nullptr;                // 滚动
        QAction* nextGroup = nullptr;              // 下一组
        std::vector<QAction*> compositions;        // MnZh
        bool refillOnRepeat = false;
    };

    QAction* compositionItem(int item) const;

    DrawSession& m_session;
    // The grouping boxes' refusals: one message for one input.
    OncePerInputMessages m_messages;
    std::function<void()> m_onCalled;
    std::function<QAction*(int)> m_nameItem;
    QFrame* m_panel = nullptr;
    GroupControls m_fz;
    Compositions m_compositions;
    Items m_items;
    ScaledPanel m_scaledPanel;
    bool m_rolls = false;
    int m_groupBox = 0;
    int m_groupCount = 0;
    int m_groupSize = 0;
    int m_chosenName = -1;
};

} // namespace zelvano
