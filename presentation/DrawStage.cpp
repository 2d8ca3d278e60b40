#include "presentation/DrawStage.h"

#include "draw/RollingDraw.h"
#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/ClickerKeys.h"
#include "presentation/parts/DrawReport.h"
#include "presentation/parts/MenuGate.h"
#include "presentation/parts/MouseHandlers.h"
#include "presentation/parts/ProjectorScreen.h"
#include "presentation/parts/ResultLabel.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/gui/Fonts.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolButton>

#include <algorithm>

namespace zelvano
{

DrawStageConfig DrawStageConfig::withStartButton(const QString& startCaption, int labelPoints)
{
    DrawStageConfig config;
    config.labelPoints = labelPoints;
    config.labelCaption = QStringLiteral("随机点名");
    config.startCaption = startCaption;
    config.stageClicks = true;
    config.restCue = QStringLiteral("sound\\type.wav");
    return config;
}

DrawStageConfig DrawStageConfig::displayOnly(int labelPoints)
{
    DrawStageConfig config;
    config.labelPoints = labelPoints;
    config.restCue = QStringLiteral("sound\\over.wav");
    config.restCueAfterFinish = true;
    return config;
}

DrawStage::DrawStage(QMainWindow* window, DrawStageHandlers& handlers, AppServices& services,
                     const DrawStageConfig& config)
    : QObject(window), m_services(services)
{
    DrawStageHandlers* h = &handlers;
    m_canvas = new QWidget(window);
    m_canvas->setAutoFillBackground(true);
    window->setCentralWidget(m_canvas);

    m_lblXm = new QLabel(config.labelCaption, m_canvas);
    m_lblXm->setObjectName(QStringLiteral("lblXm"));
    makeResultLabel(m_lblXm);
    m_lblXm->setFont(kaiFont(config.labelPoints, true));
    m_lblXm->setAlignment(Qt::AlignCenter);

    if (config.stageClicks) {
        const auto rightClick = [h](Qt::MouseButton button, QPoint at) {
            if (button == Qt::RightButton)
                h->popUpDrawMenu(at);
        };
        MouseHandlers::attach(
            m_canvas, [h] { h->Form_Click(); }, rightClick);
        MouseHandlers::attach(
            m_lblXm, [h] { h->lblXm_Click(); }, rightClick);
    }
    if (!config.startCaption.isEmpty())
        m_fraTs = new StartButton(m_canvas, config.startCaption, [h] { h->imgOk_MouseDown(); });

    RollingDraw::Hooks hooks;
    hooks.step = [h] { h->drawStep(); };
    hooks.atRest = [h] { h->comeToRest(); };
    hooks.restCueAfterFinish = config.restCueAfterFinish;
    m_rolling = new RollingDraw(services, config.restCue, std::move(hooks), this);
}

DrawStage::~DrawStage() = default;

SpeechTimer* DrawStage::addSpeechTimer(const SpeechTimerConfig& config)
{
    m_speechTimer = new SpeechTimer(m_services, config, m_canvas);
    return m_speechTimer;
}

DisplayFormat* DrawStage::addDisplayFormat(const DisplayFormatConfig& config)
{
    m_displayFormat = new DisplayFormat(
        m_services, config,
        DisplayTargets::timedDraw(m_canvas, m_lblXm, m_speechTimer->lblSj(), m_fraTs),
        m_canvas->window());
    return m_displayFormat;
}

DisplayFormat* DrawStage::addDisplayFormat(const DisplayFormatConfig& config,
                                           const DisplayTargets& targets)
{
    m_displayFormat = new DisplayFormat(m_services, config, targets, m_canvas->window());
    return m_displayFormat;
}

DrawReport* DrawStage::addReport(const QString& windowName, QMenu* recordMenu)
{
    m_report = new DrawReport(m_services, windowName, m_canvas->window());
    m_report->addRecordItem(recordMenu);
    m_report->addVoiceItem(m_displayFormat->MnGeShi());
    return m_report;
}

QMenu* DrawStage::addWindowMenu()
{
    auto* window = static_cast<QMainWindow*>(m_canvas->window());
    QMenu* menu = window->menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    menu->setObjectName(QStringLiteral("MnCk"));
    new ProjectorScreen(window, menu, m_services.dataDir);
    return menu;
}

ClickerKeys* DrawStage::addClickerKeys(std::function<void()> next, QWidget* startButton)
{
    auto* window = static_cast<QMainWindow*>(m_canvas->window());
    QWidget* button = startButton ? startButton : static_cast<QWidget*>(imgOk());
    m_clickerKeys = new ClickerKeys(window, m_lblXm, std::move(next), {m_canvas, m_lblXm, button});
    addShortcutHelp(window, *m_services.messages);
    return m_clickerKeys;
}

QToolButton* DrawStage::imgOk() const
{
    return m_fraTs ? m_fraTs->imgOk() : nullptr;
}

bool DrawStage::isRolling() const
{
    return m_rolling->isRolling();
}

void DrawStage::openAtDesignSize(QSize design)
{
    m_designSize = design;
    zelvano::openAtDesignSize(m_canvas->window(), design);
}

double DrawStage::designScale() const
{
    return zelvano::designScale(m_canvas->window(), m_designSize);
}

void DrawStage::cutOff()
{
    m_report->cutOff();
}

bool DrawStage::drawAgainWhenEmpty(int poolSize) const
{
    if (poolSize > 0)
        return true;
    return m_services.messages->show(QStringLiteral("所有人都抽到了，还要继续码？"),
                                     QStringLiteral("提醒"), MessageIcon::Question,
                                     MessageButtons::YesNo) == MessageAnswer::Yes;
}

void DrawStage::beginDraw(int poolSize)
{
    imgOk()->hide();
    m_lblXm->setAlignment(Qt::AlignCenter);
    m_speechTimer->cancelForDraw();
    m_report->drawStarts(poolSize);
}

void DrawStage::rest()
{
    m_speechTimer->rearmAfterDraw();
    imgOk()->show();
    m_fraTs->showLook(false);
}

void DrawStage::setTopMenus(std::initializer_list<QMenu*> menus)
{
    m_topMenus.assign(menus);
}

void DrawStage::setTopMenusEnabled(bool enabled)
{
    m_menusOn = enabled;
    for (QMenu* menu : m_topMenus)
        setMenuAndShortcutsEnabled(menu, enabled);
}

void DrawStage::scaleFonts(double labelPoints, double timePoints, double scale)
{
    m_lblXm->setFont(kaiFont(std::max(1.0, labelPoints / (1.2 * scale)), true));
    m_speechTimer->setTimeFont(kaiFont(std::max(1.0, timePoints / (1.2 * scale)), true));
}

} // namespace zelvano
