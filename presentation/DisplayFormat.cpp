#include "presentation/DisplayFormat.h"

#include "presentation/DisplayRules.h"
#include "shell/core/AppServices.h"
#include "shell/core/ColourPicker.h"
#include "shell/gui/WindowsColour.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QWidget>

#include <cmath>
#include <utility>

namespace zelvano
{

namespace
{

int fontPoints(const QWidget* widget)
{
    const QFont font = widget->font();
    return font.pointSize() > 0 ? font.pointSize() : static_cast<int>(font.pointSizeF());
}

bool managedByLayout(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(widget) >= 0;
}

} // namespace

DisplayFormatConfig DisplayFormatConfig::numberDraw()
{
    DisplayFormatConfig config;
    config.enlargeShortcut = QKeySequence(Qt::CTRL | Qt::Key_G);
    config.shrinkShortcut = QKeySequence(Qt::CTRL | Qt::Key_H);
    config.colourItemIndex = 3;
    config.moveTimeDisplayBelowResult = true;
    config.recolourFraTsWithColourItems = true;
    return config;
}

DisplayFormatConfig DisplayFormatConfig::classroom()
{
    DisplayFormatConfig config;
    config.enlargeShortcut = QKeySequence(Qt::CTRL | Qt::Key_H);
    config.shrinkShortcut = QKeySequence(Qt::CTRL | Qt::Key_I);
    config.colourItemIndex = 2;
    return config;
}

DisplayFormatConfig DisplayFormatConfig::prizeDraw()
{
    DisplayFormatConfig config;
    config.menuTitle = QStringLiteral("格式(&G)");
    config.enlargeCaption = QStringLiteral("放大");
    config.shrinkCaption = QStringLiteral("缩小");
    config.colourCaption = QStringLiteral("颜色");
    config.enlargeShortcut = QKeySequence(Qt::Key_F7);
    config.shrinkShortcut = QKeySequence(Qt::Key_F8);
    config.colourItemIndex = 2;
    config.greyCurrentColourItem = false;
    return config;
}

DisplayFormat::DisplayFormat(AppServices& services, DisplayFormatConfig config,
                             DisplayTargets targets, QWidget* host)
    : QObject(host), m_services(services), m_config(std::move(config)),
      m_targets(std::move(targets))
{
    m_background = toWindowsColour(
        m_targets.background->palette().color(m_targets.background->backgroundRole()));
    m_text = toWindowsColour(m_targets.lblXm->palette().color(QPalette::WindowText));
    // The start-button frame keeps its own face until a colour reaches it;
    // left alone it would take the window's colour through the palette.
    if (m_targets.fraTs)
        paintBackground(m_targets.fraTs,
                        toWindowsColour(m_targets.fraTs->palette().color(QPalette::Window)));

    m_menu = new QMenu(m_config.menuTitle, host);
    m_menu->setObjectName(QStringLiteral("MnGeShi"));
    QAction* enlarge = m_menu->addAction(m_config.enlargeCaption);
    enlarge->setObjectName(QStringLiteral("MnGs_0"));
    enlarge->setShortcut(m_config.enlargeShortcut);
    connect(enlarge, &QAction::triggered, this, [this] { MnGs_Click(MnGsItem::Enlarge); });
    QAction* shrink = m_menu->addAction(m_config.shrinkCaption);
    shrink->setObjectName(QStringLiteral("MnGs_1"));
    shrink->setShortcut(m_config.shrinkShortcut);
    connect(shrink, &QAction::triggered, this, [this] { MnGs_Click(MnGsItem::Shrink); });
    m_items << enlarge << shrink;
    while (m_items.size() < m_config.colourItemIndex)
        m_items << m_menu->addSeparator();

    m_colourMenu = new QMenu(m_config.colourCaption, m_menu);
    m_colourMenu->setObjectName(QStringLiteral("MnGs_%1").arg(m_config.colourItemIndex));
    m_items << m_menu->addMenu(m_colourMenu);
    // Opening the colour submenu runs the format handler, which in the number
    // window also puts the time display back under the result.
    connect(m_colourMenu, &QMenu::aboutToShow, this,
            [this] { MnGs_Click(m_config.colourItemIndex); });
    const QStringList colours{QStringLiteral("红"),   QStringLiteral("黄"),  QStringLiteral("蓝"),
                              QStringLiteral("白"),   QStringLiteral("紫"),  QStringLiteral("灰"),
                              QStringLiteral("背景"), QStringLiteral("文字")};
    for (int i = 0; i < kColourItemCount; ++i) {
        m_mnYs[i] = m_colourMenu->addAction(colours[i]);
        m_mnYs[i]->setObjectName(QStringLiteral("MnYs_%1").arg(i));
        connect(m_mnYs[i], &QAction::triggered, this, [this, i] { MnYs_Click(i); });
    }
}

DisplayFormat::~DisplayFormat() = default;

QAction* DisplayFormat::MnGs(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index] : nullptr;
}

// --- Text size ----------------------------------------------------------------

void DisplayFormat::MnGs_Click(int index)
{
    QLabel* result = m_targets.lblXm;
    QLabel* time = m_targets.lblSj;
    const auto item = static_cast<MnGsItem>(index);
    if (item == MnGsItem::Enlarge || item == MnGsItem::Shrink) {
        const bool enlarge = item == MnGsItem::Enlarge;
        const int resultPoints = fontPoints(result);
        setFontPoints(result, enlarge ? enlargedLabelSize(resultPoints) : shrunkSize(resultPoints));
        if (time) {
            const int timePoints = fontPoints(time);
            setFontPoints(time,
                          enlarge ? enlargedTimeDisplaySize(timePoints) : shrunkSize(timePoints));
        }
        for (QWidget* follower : std::as_const(m_targets.sizeFollowers))
            setFontPoints(follower, fontPoints(result));
    }
    if (m_config.moveTimeDisplayBelowResult && time)
        moveTimeDisplay();
}

void DisplayFormat::setFontPoints(QWidget* widget, int points) const
{
    if (fontPoints(widget) == points)
        return;
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
    // A label placed by hand grows or shrinks around its centre, so a centred
    // result stays centred and its text is never clipped.
    if (qobject_cast<QLabel*>(widget) && !managedByLayout(widget)) {
        const QPoint centre = widget->geometry().center();
        widget->resize(widget->sizeHint());
        QRect placed = widget->geometry();
        placed.moveCenter(centre);
        widget->move(placed.topLeft());
    }
}

void DisplayFormat::moveTimeDisplay()
{
    QLabel* result = m_targets.lblXm;
    QLabel* time = m_targets.lblSj;
    time->move(time->x(), result->y() + result->height() + time->height());
}

// --- Colours --------------------------------------------------------------------

void DisplayFormat::MnYs_Click(int index)
{
    if (index < 0 || index >= kColourItemCount)
        return;
    if (m_config.greyCurrentColourItem) {
        if (m_colourIndex >= 0 && m_colourIndex < kColourItemCount)
            m_mnYs[m_colourIndex]->setEnabled(true);
        m_mnYs[index]->setEnabled(false);
    }
    m_colourIndex = static_cast<std::int16_t>(index);

    if (index < kPresetCount) {
        applyBackground(colourPresets()[index].background);
        applyText(colourPresets()[index].text);
    } else {
        // The dialog opens on the colour it would change, so cancelling it
        // leaves the display as it was.
        const int initial = index == kBackgroundItem ? m_background : m_text;
        const int chosen = m_services.colours->pickColour(initial).value_or(initial);
        if (index == kBackgroundItem)
            applyBackground(chosen);
        else
            applyText(chosen);
    }

    if (m_config.recolourFraTsWithColourItems && m_targets.fraTs)
        paintBackground(m_targets.fraTs, m_background);
    for (QWidget* follower : std::as_const(m_targets.backgroundFollowers))
        paintBackground(follower, m_background);
    for (QWidget* follower : std::as_const(m_targets.textFollowers))
        paintText(follower, m_text);
    if (m_targets.lblSj)
        paintText(m_targets.lblSj, m_text);
}

void DisplayFormat::loadColourSetting(const QString& setting)
{
    const ColourSetting stored = parseColourSetting(setting);
    if (stored.index < kPresetCount) {
        MnYs_Click(stored.index);
        return;
    }
    // A free colour comes back without greying any item, and the time display
    // keeps its own colour until the next colour change.
    m_colourIndex = stored.index;
    for (QAction* item : m_mnYs)
        item->setEnabled(true);
    if (stored.index == kBackgroundItem) {
        applyBackground(stored.colour);
        if (m_targets.fraTs)
            paintBackground(m_targets.fraTs, m_background);
        for (QWidget* follower : std::as_const(m_targets.backgroundFollowers))
            paintBackground(follower, m_background);
        keepTextReadable();
    } else {
        applyText(stored.colour);
        for (QWidget* follower : std::as_const(m_targets.textFollowers))
            paintText(follower, m_text);
    }
}

// Only the background is stored: texts in colours that would vanish into
// it (black on navy) give way to white or black. The result keeps the
// colour it reads in, and with it the texts that follow it.
void DisplayFormat::keepTextReadable()
{
    const int readable = readableTextColour(m_background, m_text);
    if (readable != m_text) {
        applyText(readable);
        for (QWidget* follower : std::as_const(m_targets.textFollowers))
            paintText(follower, m_text);
    }
    if (QLabel* time = m_targets.lblSj) {
        const int own = toWindowsColour(time->palette().color(QPalette::WindowText));
        if (readableTextColour(m_background, own) != own)
            paintText(time, readableTextColour(m_background, own));
    }
}

QString DisplayFormat::colourSetting() const
{
    return colourSettingText(m_colourIndex < 0 ? 0 : m_colourIndex, m_background, m_text);
}

void DisplayFormat::applyBackground(int colour)
{
    m_background = colour;
    paintBackground(m_targets.background, colour);
}

void DisplayFormat::applyText(int colour)
{
    m_text = colour;
    paintText(m_targets.lblXm, colour);
}

void DisplayFormat::paintBackground(QWidget* widget, int colour) const
{
    // Through the palette with an opaque fill, so the colour shows on every
    // platform plugin and in a grabbed picture. Pop-up menus are windows of
    // their own and do not take it.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, fromWindowsColour(colour));
    // A list paints its items on Base. Other widgets leave Base alone, or the
    // window's colour would flow into every text box on it.
    if (qobject_cast<QAbstractScrollArea*>(widget))
        palette.setColor(QPalette::Base, fromWindowsColour(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void DisplayFormat::paintText(QWidget* widget, int colour) const
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, fromWindowsColour(colour));
    if (qobject_cast<QAbstractScrollArea*>(widget))
        palette.setColor(QPalette::Text, fromWindowsColour(colour));
    widget->setPalette(palette);
}

} // namespace zelvano
