#include "presentation/GroupedDraw.h"

#include "draw/Grouping.h"
#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/DrawLists.h"
#include "shell/core/Numbers.h"
#include "shell/core/SettingsStore.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>

namespace zelvano
{

GroupedDraw::GroupedDraw(DrawSession& session, MessageService& messages,
                         std::function<void()> onCalled, QObject* parent)
    : QObject(parent), m_session(session), m_messages(messages), m_onCalled(std::move(onCalled))
{
}

void GroupedDraw::attachPanel(QFrame* panel, const GroupControls& controls,
                              Compositions compositions)
{
    m_panel = panel;
    m_fz = controls;
    m_compositions = std::move(compositions);
    // The option chosen, by a click, the arrow keys or a reset, picks the
    // box the grouping reads.
    connect(m_fz.OptFz[GroupBox::Size], &QRadioButton::toggled, this,
            [this](bool sizeChosen) { m_groupBox = sizeChosen ? 1 : 0; });
}

void GroupedDraw::attachItems(const ItemArray<DrawOrder, QAction*, 2>& order, QAction* repeat,
                              QAction* rolling, QAction* nextGroup,
                              std::vector<QAction*> compositions, bool refillOnRepeat)
{
    m_items = Items{order, repeat, rolling, nextGroup, std::move(compositions), refillOnRepeat};
    m_rolls = m_items.rolling->isChecked();
    // The marks are the teacher's choice, set by a click, a key or the
    // settings: the draw follows each change.
    connect(m_items.repeat, &QAction::toggled, this, [this](bool on) {
        m_session.setRepeat(on);
        if (on && m_items.refillOnRepeat)
            m_session.refillPool();
    });
    connect(m_items.rolling, &QAction::toggled, this, [this](bool on) { m_rolls = on; });
}

void GroupedDraw::rememberPanelDesign()
{
    m_scaledPanel = ScaledPanel(m_panel);
}

void GroupedDraw::setGrouping(int groupCount, int groupSize)
{
    m_groupCount = groupCount;
    m_groupSize = groupSize;
}

void GroupedDraw::show(const DrawChange& change)
{
    showDrawLists({m_fz.List2, m_fz.List1, m_fz.LabXx}, m_session.view(), change);
    if (change.called && m_onCalled)
        m_onCalled();
}

bool GroupedDraw::chooseOrder(int index)
{
    if (index < 0 || index > 1)
        return false;
    m_items.order[m_session.order()]->setEnabled(true);
    m_session.setOrder(drawOrderOf(index));
    m_items.order.at(index)->setEnabled(false);
    m_items.nextGroup->setVisible(drawOrderOf(index) == DrawOrder::Sequential);
    return true;
}

QAction* GroupedDraw::compositionItem(int item) const
{
    return item >= 0 && item < static_cast<int>(m_items.compositions.size())
               ? m_items.compositions[static_cast<size_t>(item)]
               : nullptr;
}

void GroupedDraw::chooseComposition(int entry)
{
    if (QAction* old = compositionItem(m_compositions.itemOfEntry(m_session.composition())))
        old->setEnabled(true);
    m_session.setComposition(entry);
    // An entry without an item leaves every item available.
    if (QAction* now = compositionItem(m_compositions.itemOfEntry(entry)))
        now->setEnabled(false);
}

void GroupedDraw::chooseCompositionItem(int item)
{
    const int entry = m_compositions.entryOfItem(item);
    if (entry < 0)
        return;
    m_fz.cmbZh->setCurrentIndex(entry);
    chooseComposition(entry);
}

bool GroupedDraw::chooseNameItem(int index, int count)
{
    if (QAction* previous = m_nameItem(m_chosenName))
        previous->setEnabled(true);
    QAction* chosen = m_nameItem(index);
    if (!chosen || index >= count)
        return false;
    chosen->setEnabled(false);
    m_chosenName = index;
    return true;
}

void GroupedDraw::chooseGroupBox(int index)
{
    zelvano::chooseGroupBox(m_fz.txtFz, index, m_groupCount, m_groupSize);
}

bool GroupedDraw::takeGroupInput(int index, int valueCount, int upperBound)
{
    const GroupInput input =
        applyGroupInput(index, m_fz.txtFz.at(index)->text(), valueCount, upperBound);
    if (!input.accepted) {
        m_messages.show(input.message, QStringLiteral("Zelvano"), MessageIcon::None);
        return false;
    }
    m_groupCount = input.groupCount;
    m_groupSize = input.groupSize;
    m_fz.txtFz.at(1 - index)->setText(QString::number(index == 0 ? m_groupSize : m_groupCount));
    m_fz.imgFz[GroupingOrder::AtRandom]->show();
    m_fz.imgFz[GroupingOrder::InOrder]->show();
    m_fz.lblXx2->setText(QStringLiteral("-> 点击“随机/顺序”图标正式分组"));
    return true;
}

void GroupedDraw::groupsFormed(const QString& hint)
{
    m_fz.imgFz[GroupingOrder::AtRandom]->hide();
    m_fz.imgFz[GroupingOrder::InOrder]->hide();
    m_fz.lblXx2->setText(hint);
}

void GroupedDraw::scalePanel(double scale, QSize room)
{
    const double s = m_scaledPanel.scaleTo(scale, room);
    QFont listFont = m_fz.List1->font();
    listFont.setPointSizeF(std::max(6.0, 16 * s));
    m_fz.List1->setFont(listFont);
    m_fz.List2->setFont(listFont);
}

void GroupedDraw::readSettings(SettingsStore& settings, Setting compositionColumn,
                               SpeechTimer& timer, DisplayFormat& format)
{
    format.loadColourSetting(settings.read(Setting::BbjYs));
    int composition = toInt16(Val(settings.read(compositionColumn)));
    if (composition < 0 || composition >= m_compositions.entryCount)
        composition = m_compositions.fallback;
    m_fz.cmbZh->setCurrentIndex(composition);
    chooseComposition(composition);
    m_session.setOrder(drawOrderOf(toInt16(Val(settings.read(Setting::Bsx)))));
    const QString unit = settings.read(Setting::BsjDw);
    const QString mode = settings.read(Setting::BJsFs);
    const QString time = settings.read(Setting::Bsj);
    timer.applySettings(unit, mode, time);
    m_items.repeat->setChecked(booleanFromText(settings.read(Setting::BCf)).value_or(false));
    m_items.rolling->setChecked(booleanFromText(settings.read(Setting::BGd)).value_or(false));
}

void GroupedDraw::writeSettings(SettingsStore& settings, Setting compositionColumn,
                                const SpeechTimer& timer, const DisplayFormat& format) const
{
    settings.write(Setting::BbjYs, format.colourSetting());
    settings.write(compositionColumn, QString::number(m_session.composition()));
    settings.write(Setting::Bsx, QString::number(drawOrderCode(m_session.order())));
    settings.write(Setting::BsjDw, QString::number(timer.unitIndex()));
    settings.write(Setting::BJsFs, QString::number(timer.modeIndex()));
    settings.write(Setting::Bsj, timer.timeSetting());
}

void GroupedDraw::writeRepeatAndRolling(SettingsStore& settings) const
{
    settings.write(Setting::BCf, booleanText(m_session.repeat()));
    settings.write(Setting::BGd, booleanText(m_rolls));
}

} // namespace zelvano
