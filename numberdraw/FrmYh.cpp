// The number and seat draw window: opening, settings, the value panel, the
// guided setup, closing and the layout of the big display.
#include "numberdraw/FrmYh.h"

#include "draw/Composition.h"
#include "draw/RollingDraw.h"
#include "draw/ValueLists.h"
#include "presentation/DisplayFormat.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/ModeNavigator.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

namespace
{

constexpr QSize kDesignSize(1000, 700);
// The prompts of the guided setup, the first time and every time a new value
// list starts it over.
constexpr int kSetupPoints = 32;
constexpr int kSetupTop = 20;

// Up to this many values the menu lists them directly; longer lists are
// split into submenus of this many, each filled when first opened.
constexpr int kValueMenuChunk = 100;
const QString kGrey = QStringLiteral("background: #e0e0e0;");
const QString kWhite = QStringLiteral("background: #ffffff;");

} // namespace

FrmYh::FrmYh(AppServices& services, ModeNavigator& navigator, Mode mode, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_navigator(navigator),
      m_mode(mode == Mode::SeatDraw ? Mode::SeatDraw : Mode::NumberDraw),
      m_session(*services.random, numberDrawTexts(m_mode == Mode::SeatDraw))
{
    buildControls();
    m_speechTimer = m_stage->addSpeechTimer(SpeechTimerConfig::numberDraw());
    connect(m_speechTimer, &SpeechTimer::settingsClosed, this, [this] { lblClose_Click(2); });
    m_displayFormat = m_stage->addDisplayFormat(DisplayFormatConfig::numberDraw());
    m_speechTimer->setSettingsPlace([this] { return timerPanelPlace(); });
    buildMenus();
    Form_Load();
}

FrmYh::~FrmYh() = default;

bool FrmYh::isRolling() const
{
    return m_stage->rolling()->isRolling();
}

QAction* FrmYh::MnXm(int i) const
{
    if (i < 0 || i >= static_cast<int>(m_mnXm.size()))
        return nullptr;
    if (!m_mnXm[static_cast<size_t>(i)])
        const_cast<FrmYh*>(this)->fillValueChunk(i / kValueMenuChunk);
    return m_mnXm[static_cast<size_t>(i)];
}

void FrmYh::Form_Load()
{
    m_stage->openAtDesignSize(kDesignSize);
    m_grouped->rememberPanelDesign();

    m_baseFontSize = 100;
    m_lblXm->setFont(kaiFont(m_baseFontSize, true));
    m_speechTimer->selectUnit(0);

    readSettings();
    m_stage->setTopMenusEnabled(false);
    beginSetup();
}

void FrmYh::readSettings()
{
    SettingsStore& settings = *m_services.settings;
    m_grouped->readSettings(settings, compositionSetting(), *m_speechTimer, *m_displayFormat);
    m_fz.txtFz[GroupBox::Count]->setText(settings.read(Setting::Czs));
    // The unused Boolean is read as it always was; nothing depends on it.
    settings.read(Setting::CTs);

    if (seatMode()) {
        setWindowTitle(QStringLiteral("Zelvano >> 抽座位"));
        m_lblVal[RangeBox::First]->setText(QStringLiteral("行数"));
        m_lblVal[RangeBox::Second]->setText(QStringLiteral("列数"));
        m_minOrRows = toInt16(Val(settings.read(Setting::Dhs)));
        m_maxOrCols = toInt16(Val(settings.read(Setting::Dls)));
        m_txtShu->setText(QStringLiteral("1-1,1-2"));
        const char* captions[3] = {"座号", "组、座号", "组、组员、座号"};
        for (int i = 0; i < 3; ++i)
            m_mnZh[static_cast<size_t>(i)]->setText(QString::fromUtf8(captions[i]));
    } else {
        setWindowTitle(QStringLiteral("Zelvano >> 摇号码"));
        m_lblVal[RangeBox::First]->setText(QStringLiteral("最小值"));
        m_lblVal[RangeBox::Second]->setText(QStringLiteral("最大值"));
        m_minOrRows = toInt16(Val(settings.read(Setting::CMin)));
        m_maxOrCols = toInt16(Val(settings.read(Setting::CMax)));
        m_txtShu->setText(QStringLiteral("1,2,3,4"));
    }
    for (int i = 0; i < 2; ++i)
        m_txtXh.at(i)->setAccessibleName(m_lblVal.at(i)->text());
    m_txtXh[RangeBox::First]->setText(QString::number(m_minOrRows));
    m_txtXh[RangeBox::Second]->setText(QString::number(m_maxOrCols));
}

void FrmYh::saveSettings()
{
    SettingsStore& settings = *m_services.settings;
    m_grouped->writeSettings(settings, compositionSetting(), *m_speechTimer, *m_displayFormat);
    m_grouped->writeRepeatAndRolling(settings);
    settings.write(Setting::Czs, numberText(Val(m_fz.txtFz[GroupBox::Count]->text())));
}

void FrmYh::resetSettings()
{
    m_services.settings->writeResetValues(kResetSettings);
}

void FrmYh::closeEvent(QCloseEvent* event)
{
    m_stage->rolling()->cancel();
    saveSettings();
    event->accept();
    m_navigator.windowClosed(this);
}

void FrmYh::centreHorizontally(QWidget* widget)
{
    widget->move((m_canvas->width() - widget->width()) / 2, widget->y());
}

void FrmYh::setBigText(const QString& text)
{
    m_lblXm->setText(text);
    m_lblXm->adjustSize();
    centreHorizontally(m_lblXm);
}

void FrmYh::popUpDrawMenu(QPoint globalPos)
{
    if (m_stage->topMenusEnabled())
        m_mnJishi->popup(globalPos);
}

void FrmYh::showSetupPrompt(const QString& text)
{
    m_lblXm->setFont(kaiFont(kSetupPoints, true));
    setBigText(text);
}

void FrmYh::beginSetup()
{
    m_lblXm->move(m_lblXm->x(), kSetupTop);
    showSetupPrompt(QStringLiteral("请编辑号码"));
    m_lblXm->show();
    m_fraHmSz->move((m_canvas->width() - m_fraHmSz->width()) / 2,
                    m_lblXm->y() + int(1.5 * m_lblXm->height()));
    rangeEntry(0);
    showPanel(NumberPanel::Values);
}

void FrmYh::txtXh_GotFocus(int index)
{
    m_minOrRows = toInt16(Val(m_txtXh[RangeBox::First]->text()));
    m_maxOrCols = toInt16(Val(m_txtXh[RangeBox::Second]->text()));
    m_txtXh.at(index)->setStyleSheet(kWhite);
}

void FrmYh::rangeEntry(int index)
{
    QLineEdit* box = m_txtXh.at(index);
    const double first = Val(m_txtXh[RangeBox::First]->text());
    const double second = Val(m_txtXh[RangeBox::Second]->text());
    auto fits16 = [](double v) { return v >= -32768 && v <= 32767; };
    const bool sound = isNumeric(box->text()) && fits16(first) && fits16(second);
    const int a = toInt16(first);
    const int b = toInt16(second);
    // A bound beyond 16 bits, or a list longer than a 16-bit count, is as
    // unreasonable as a bound that is no number.
    const long long size = seatMode() ? hallSize(a, b) : rangeSize(a, b);
    if (!sound || size > kMaxValues) {
        reportUnreasonableData();
        return;
    }
    box->setStyleSheet(kGrey);
    if (a == m_minOrRows && b == m_maxOrCols && m_setup.hasValues())
        return;
    m_minOrRows = a;
    m_maxOrCols = b;
    m_session.setValues(seatMode() ? seatList(a, b) : numberRange(a, b));
    showValues();
    loadValueList();
}

void FrmYh::reportUnreasonableData()
{
    m_services.messages->show(QStringLiteral("请检查数据的合理性"), QStringLiteral("警告"),
                              MessageIcon::Critical);
}

// The value list (in the session already, and in the list box) is offered
// in the value menu; the setup asks for groups again.
void FrmYh::loadValueList()
{
    // The first item is enabled again; a later one chosen before stays greyed.
    if (m_grouped->chosenName() == 0)
        m_grouped->forgetChosenName();
    rebuildValueMenu();
    if (m_setup.valuesLoaded())
        startSetupOver();
    // Groups of a list that is gone would still be drawn from.
    if (m_session.values().empty()) {
        render(m_session.setGroups({}));
        m_fz.LabXx->clear();
    }
}

// A new value list after the setup: the window looks as when it opened, the
// value panel still up, until the panels are closed in order again.
void FrmYh::startSetupOver()
{
    m_stage->rolling()->cancel(); // a roll cut short left the start button hidden
    m_stage->imgOk()->show();
    m_stage->setTopMenusEnabled(false);
    m_fraTs->hide();
    m_speechTimer->cancelForDraw();
    m_lblXm->unsetCursor();
    m_lblXm->move(m_lblXm->x(), kSetupTop);
    showSetupPrompt(QStringLiteral("请编辑号码"));
}

void FrmYh::showValues()
{
    const QSignalBlocker quiet(m_lstHm);
    m_lstHm->clear();
    QStringList items;
    items.reserve(static_cast<int>(m_session.values().size()));
    for (const QString& value : m_session.values())
        items << value;
    m_lstHm->addItems(items);
    m_valueRow = -1;
}

void FrmYh::rebuildValueMenu()
{
    m_mnXmMenu->clear();
    for (QMenu* chunk : m_valueChunks)
        chunk->deleteLater();
    m_valueChunks.clear();
    const int n = static_cast<int>(m_session.values().size());
    m_mnXm.assign(m_session.values().size(), nullptr);
    if (n <= kValueMenuChunk) {
        for (int i = 0; i < n; ++i)
            makeValueItem(i, m_mnXmMenu);
        return;
    }
    for (int first = 0; first < n; first += kValueMenuChunk) {
        const int last = std::min(n, first + kValueMenuChunk) - 1;
        QMenu* chunk = m_mnXmMenu->addMenu(
            QStringLiteral("%1 … %2").arg(m_session.values()[static_cast<size_t>(first)],
                                          m_session.values()[static_cast<size_t>(last)]));
        const int index = static_cast<int>(m_valueChunks.size());
        connect(chunk, &QMenu::aboutToShow, this, [this, index] { fillValueChunk(index); });
        m_valueChunks.push_back(chunk);
    }
}

void FrmYh::fillValueChunk(int chunk)
{
    QMenu* menu = m_valueChunks.at(static_cast<size_t>(chunk));
    const int first = chunk * kValueMenuChunk;
    const int last = std::min(static_cast<int>(m_session.values().size()), first + kValueMenuChunk);
    for (int i = first; i < last; ++i) {
        if (!m_mnXm[static_cast<size_t>(i)])
            makeValueItem(i, menu);
    }
}

QAction* FrmYh::makeValueItem(int index, QMenu* menu)
{
    QAction* item = menu->addAction(m_session.values()[static_cast<size_t>(index)], this,
                                    [this, index] { MnXm_Click(index); });
    item->setEnabled(index != m_grouped->chosenName());
    m_mnXm[static_cast<size_t>(index)] = item;
    return item;
}

void FrmYh::ImgZdy_Click(int index)
{
    switch (index) {
    case 0: {
        std::vector<QString> values = m_session.values();
        const auto added = seatMode()
                               ? seatsToAdd(m_txtShu->text(), values, m_minOrRows, m_maxOrCols)
                               : numbersToAdd(m_txtShu->text(), values);
        if (values.size() + added.size() > static_cast<size_t>(kMaxValues)) {
            reportUnreasonableData();
            return;
        }
        values.insert(values.end(), added.begin(), added.end());
        m_session.setValues(std::move(values));
        for (const QString& value : added)
            m_lstHm->addItem(value);
        m_imgZdy[ImgZdyItem::Add]->hide();
        m_txtShu->setStyleSheet(kGrey);
        break;
    }
    case 1: {
        std::vector<QString> values = m_session.values();
        const int row = m_valueRow;
        const bool found = row >= 0 && row < static_cast<int>(values.size());
        if (found)
            values.erase(values.begin() + row);
        m_session.setValues(std::move(values));
        if (found) {
            m_valueRow = -1; // the list may select the next value itself
            delete m_lstHm->takeItem(row);
        }
        m_imgZdy[ImgZdyItem::Remove]->hide();
        break;
    }
    case 2:
        m_session.setValues({});
        m_lstHm->clear();
        m_valueRow = -1;
        m_txtXh[RangeBox::First]->setText(QStringLiteral("1"));
        m_txtXh[RangeBox::Second]->setText(QStringLiteral("0"));
        // The boxes now show the bounds, so the hand-made list stays until
        // a bound is really changed.
        m_minOrRows = 1;
        m_maxOrCols = 0;
        break;
    default:
        return;
    }
    loadValueList();
}

void FrmYh::lstHm_Click(int row)
{
    m_valueRow = row;
    m_imgZdy[ImgZdyItem::Remove]->show();
    if (row >= 0 && row < static_cast<int>(m_session.values().size()))
        setBigText(previewText(m_session.values()[static_cast<size_t>(row)], seatMode()));
}

void FrmYh::lblClose_Click(int index)
{
    switch (index) {
    case 0:
        if (!closePanel(NumberPanel::Values))
            return;
        // The grouping step: one group in list order, ready to be changed.
        showSetupPrompt(QStringLiteral("请设置分组信息"));
        m_lblXm->move(m_lblXm->x(), m_lblXm->height());
        m_grouped->unscalePanel(m_canvas->size());
        m_fraFz->move((m_canvas->width() - m_fraFz->width()) / 2,
                      m_lblXm->y() + int(1.5 * m_lblXm->height()));
        m_fz.txtFz[GroupBox::Count]->setText(QStringLiteral("1"));
        m_fz.txtFz[GroupBox::Size]->setText(QString::number(m_session.values().size()));
        imgFz_Click(1);
        showPanel(NumberPanel::Grouping);
        return;
    case 1:
        if (!closePanel(NumberPanel::Grouping))
            return;
        showSetupPrompt(QStringLiteral("请设置计时和评分细则"));
        m_timerPanelTop = m_lblXm->y() + 2 * m_lblXm->height();
        m_speechTimer->showSettingsPanelAt(timerPanelPlace());
        m_speechTimer->selectMode(0);
        return;
    case 2:
        if (closePanel(NumberPanel::Timer))
            showReady();
        return;
    default:
        return;
    }
}

// The setup is done: the draw order caption, then the invitation to draw.
void FrmYh::showReady()
{
    MnSx_Click(drawOrderCode(DrawOrder::Random));
    setBigText(QStringLiteral("单击\r\n摇号"));
    m_speechTimer->placeTimeUnder(m_lblXm, m_speechTimer->lblSj()->height());
    m_lblXm->setCursor(Qt::PointingHandCursor);
    m_stage->setTopMenusEnabled(true);
    Form_Resize();
    m_fraTs->show();
    m_lblXm->show();
}

// Where the timer panel shows, in the setup and from "计时设置": centred,
// as far down as the setup put it, inside the window.
QPoint FrmYh::timerPanelPlace() const
{
    const QWidget* panel = m_speechTimer->fraJs();
    const int lowest = std::max(0, m_canvas->height() - panel->height());
    return {(m_canvas->width() - panel->width()) / 2, std::clamp(m_timerPanelTop, 0, lowest)};
}

void FrmYh::showPanel(NumberPanel panel)
{
    QFrame* frame = panel == NumberPanel::Values ? m_fraHmSz : m_fraFz;
    frame->show();
    frame->raise();
    m_setup.panelShown(panel);
    m_session.setCallsHeld(m_setup.isShown(NumberPanel::Grouping));
}

// Hides a panel; true when the setup goes on to its next step.
bool FrmYh::closePanel(NumberPanel panel)
{
    if (panel == NumberPanel::Timer)
        m_speechTimer->leaveSettingsPanel(m_canvas->palette());
    else
        (panel == NumberPanel::Values ? m_fraHmSz : m_fraFz)->hide();
    const bool movesOn = m_setup.panelClosed(panel);
    m_session.setCallsHeld(m_setup.isShown(NumberPanel::Grouping));
    return movesOn;
}

void FrmYh::MnHm_Click(int index)
{
    const auto item = static_cast<MnHmItem>(index);
    if (item != MnHmItem::Values && item != MnHmItem::GroupRules)
        return;
    const NumberPanel panel =
        item == MnHmItem::Values ? NumberPanel::Values : NumberPanel::Grouping;
    centreHorizontally(panel == NumberPanel::Values ? m_fraHmSz : m_fraFz);
    showPanel(panel);
}

void FrmYh::MnFs_Click(int index)
{
    switch (static_cast<MnFsItem>(index)) {
    case MnFsItem::Reset:
        resetSettings();
        break;
    case MnFsItem::BackToMenu:
        m_navigator.returnToMenu(this);
        break;
    default:
        // "重复" and "滚动" are checkable: the menu flips the mark itself.
        break;
    }
}

// The result centred, its top a quarter of the free height down, the time
// right under it; the fonts stay as they are.
void FrmYh::placeResult()
{
    m_lblXm->move((m_canvas->width() - m_lblXm->width()) / 2,
                  (m_canvas->height() - m_lblXm->height()) / 4);
    m_speechTimer->placeTimeUnder(m_lblXm);
}

void FrmYh::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmYh::Form_Resize()
{
    if (!m_setup.isDone() || !m_canvas)
        return;
    const int width = std::max(m_canvas->width(), 1);
    const int height = std::max(m_canvas->height(), 1);
    const double scale = m_stage->designScale();
    m_stage->scaleFonts(m_baseFontSize, 62, scale);
    m_lblXm->adjustSize();
    placeResult();

    // The grouping panel grows and shrinks as a whole, within the window.
    m_grouped->scalePanel(1 / scale, m_canvas->size());
    centreHorizontally(m_fraFz);

    m_fraTs->move(int(0.98 * (width - m_fraTs->width())), int(0.91 * (height - m_fraTs->height())));
    m_speechTimer->placeBarLeftOf(m_fraTs, 10);
    m_speechTimer->hideBar(false);
}

} // namespace zelvano
