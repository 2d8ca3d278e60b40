#include "presentation/SpeechTimer.h"
#include "presentation/parts/MouseHandlers.h"

#include "presentation/TimerPictures.h"
#include "presentation/parts/MouseHandlers.h"
#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/Numbers.h"
#include "shell/core/SoundPlayer.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/PictureButtons.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace zelvano
{

namespace
{

const QString kStartCaption = QStringLiteral("开始计时");
const QString kPauseCaption = QStringLiteral("暂停计时");

// Panels keep their own light face, so the controls stay readable whatever
// colour scheme the window behind them takes.
void givePanelFace(QFrame* frame)
{
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, QColor(0xf3, 0xf0, 0xe6));
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Button, QColor(0xef, 0xef, 0xef));
    palette.setColor(QPalette::ButtonText, Qt::black);
    frame->setPalette(palette);
    frame->setAutoFillBackground(true);
    frame->setFrameShape(QFrame::StyledPanel);
}

QPushButton* makeTextButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAccessibleName(caption);
    button->setFont(songFont(12, true));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// Keys and focus of a number box. The filter sits on the combo itself: an
// editable combo forwards its keys to the line edit and is the focus proxy.
class NumberBoxFilter final : public QObject
{
public:
    NumberBoxFilter(QComboBox* box, std::function<void()> lostFocus)
        : QObject(box), m_lostFocus(std::move(lostFocus))
    {
        box->installEventFilter(this);
        if (box->lineEdit())
            box->lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            return !numberBoxAcceptsKey(key->key(), key->text());
        }
        if (event->type() == QEvent::FocusOut && watched == parent()) {
            // Opening the drop-down list is not leaving the box.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && m_lostFocus)
                m_lostFocus();
        }
        return false;
    }

private:
    std::function<void()> m_lostFocus;
};

} // namespace

SpeechTimerConfig SpeechTimerConfig::numberDraw()
{
    SpeechTimerConfig config;
    config.stopCue = QStringLiteral("sound\\type.wav");
    config.endCue = QStringLiteral("sound\\type.wav");
    config.startShortcut = QKeySequence(Qt::Key_F4);
    config.settingsShortcut = QKeySequence(Qt::Key_F5);
    config.firstHint = QStringLiteral("* 倒计时还是正计时。");
    config.menuDrivesMode = false;
    return config;
}

SpeechTimerConfig SpeechTimerConfig::classroom()
{
    SpeechTimerConfig config;
    config.stopCue = QStringLiteral("sound\\start.wav");
    config.endCue = QStringLiteral("sound\\over.wav");
    config.startShortcut = QKeySequence(Qt::Key_F7);
    config.settingsShortcut = QKeySequence(Qt::Key_F9);
    config.firstHint = QStringLiteral("* 是倒计时还是正计时。");
    config.menuDrivesMode = true;
    return config;
}

SpeechTimer::SpeechTimer(AppServices& services, SpeechTimerConfig config, QWidget* host)
    : QObject(host), m_services(services), m_config(std::move(config))
{
    m_lblSj = new QLabel(QStringLiteral("00:00:00"), host);
    m_lblSj->setObjectName(QStringLiteral("lblSj"));
    m_lblSj->setFont(kaiFont(42, true));
    m_lblSj->setAlignment(Qt::AlignCenter);
    QPalette timePalette = m_lblSj->palette();
    timePalette.setColor(QPalette::WindowText, QColor(255, 255, 128));
    m_lblSj->setPalette(timePalette);
    m_lblSj->setCursor(Qt::PointingHandCursor);
    m_lblSj->adjustSize();
    MouseHandlers::attach(
        m_lblSj, [this] { lblSj_Click(); },
        [this](Qt::MouseButton button, QPoint) { lblSj_MouseDown(button); });
    m_lblSj->hide();

    // The settings panel first, so the bar lies above it when the window
    // puts the bar into the panel during set-up.
    buildSettingsPanel(host);
    buildTimerBar(host);
    buildMenuItems(host);

    m_timJs = new QTimer(this);
    m_timJs->setObjectName(QStringLiteral("timJs"));
    m_timJs->setInterval(500);
    connect(m_timJs, &QTimer::timeout, this, &SpeechTimer::timJs_Timer);

    // Start with a unit and a mode chosen, their menu items greyed.
    selectUnit(UnitSeconds);
    m_timerMode = CountDown;
    m_cmbJsFs->setCurrentIndex(CountDown);
    m_mnJsFs[CountDown]->setEnabled(false);
}

SpeechTimer::~SpeechTimer() = default;

void SpeechTimer::buildTimerBar(QWidget* host)
{
    m_fraJs2 = new QFrame(host);
    m_fraJs2->setObjectName(QStringLiteral("fraJs2"));
    auto* bar = new QHBoxLayout(m_fraJs2);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(4);

    m_imgJs0 = makePictureButton(timerBarPicture(), kStartCaption, m_fraJs2);
    m_imgJs0->setObjectName(QStringLiteral("imgJs0"));
    connect(m_imgJs0, &QToolButton::clicked, this, &SpeechTimer::imgJs0_Click);
    bar->addWidget(m_imgJs0, 0, Qt::AlignVCenter);
    // fraJs3 joins the bar once it is filled: the layout caches sizes.

    m_fraJs3 = new QFrame(m_fraJs2);
    m_fraJs3->setObjectName(QStringLiteral("fraJs3"));
    // Its controls read left to right wherever the bar opens it.
    m_fraJs3->setLayoutDirection(Qt::LeftToRight);
    givePanelFace(m_fraJs3);
    auto* row = new QHBoxLayout(m_fraJs3);
    row->setContentsMargins(8, 3, 4, 3);
    row->setSpacing(5);

    buildTimeRow(row);

    // Laid out now rather than at the first event loop turn, so the window
    // can place the bar by its size at once. The bar takes the size of what
    // it shows (see fitBar), so folded it covers no more than its button.
    m_fraJs3->resize(row->sizeHint());
    row->setGeometry(m_fraJs3->rect());
    bar->addWidget(m_fraJs3, 0, Qt::AlignVCenter);
    bar->addStretch(1);
    m_fraJs2->resize(bar->sizeHint());
    bar->setGeometry(m_fraJs2->rect());
    m_fraJs2->hide();
}

void SpeechTimer::buildTimeRow(QHBoxLayout* row)
{
    m_label3 = new QLabel(QStringLiteral("计时"), m_fraJs3);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setFont(songFont(12, true));
    row->addWidget(m_label3);

    m_cmbFs1 = new QComboBox(m_fraJs3);
    m_cmbFs1->setObjectName(QStringLiteral("cmbFs_1"));
    m_cmbFs1->setEditable(true);
    m_cmbFs1->setInsertPolicy(QComboBox::NoInsert);
    m_cmbFs1->addItems({QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
                        QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("10"),
                        QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("40"),
                        QStringLiteral("50")});
    m_cmbFs1->setEditText(QStringLiteral("5"));
    m_cmbFs1->setFont(songFont(12));
    m_cmbFs1->setMinimumWidth(70);
    m_cmbFs1->setAccessibleName(QStringLiteral("时间"));
    filterNumberBox(m_cmbFs1, [this] { cmbFs_LostFocus(1); });
    row->addWidget(m_cmbFs1);

    m_cmbJsDw = new QComboBox(m_fraJs3);
    m_cmbJsDw->setObjectName(QStringLiteral("cmbJsDw"));
    m_cmbJsDw->addItems({QStringLiteral("秒"), QStringLiteral("分"), QStringLiteral("时")});
    m_cmbJsDw->setFont(songFont(12));
    m_cmbJsDw->setAccessibleName(QStringLiteral("时间单位"));
    connect(m_cmbJsDw, &QComboBox::activated, this, [this] { cmbJsDw_Click(); });
    row->addWidget(m_cmbJsDw);

    m_plus = makeTextButton(QStringLiteral("+"), m_fraJs3);
    m_plus->setObjectName(QStringLiteral("Command1_2"));
    m_plus->setFixedWidth(32);
    connect(m_plus, &QPushButton::clicked, this, [this] { Command1_Click(2); });
    row->addWidget(m_plus);

    m_minus = makeTextButton(QStringLiteral("-"), m_fraJs3);
    m_minus->setObjectName(QStringLiteral("Command1_3"));
    m_minus->setFixedWidth(32);
    connect(m_minus, &QPushButton::clicked, this, [this] { Command1_Click(3); });
    row->addWidget(m_minus);

    m_imgJs = makePictureButton(idleTimerPicture(), kStartCaption, m_fraJs3);
    m_imgJs->setObjectName(QStringLiteral("imgJs"));
    connect(m_imgJs, &QToolButton::clicked, this, &SpeechTimer::imgJs_Click);
    row->addWidget(m_imgJs);
}

void SpeechTimer::buildSettingsPanel(QWidget* host)
{
    // Fixed geometry: the window lays the timer bar over the panel's free
    // row, left of "确定" and aligned with "方式", during its set-up.
    m_fraJs = new QFrame(host);
    m_fraJs->setObjectName(QStringLiteral("fraJs"));
    givePanelFace(m_fraJs);
    m_fraJs->resize(560, 215);

    auto* title = new QLabel(QStringLiteral("计时设置"), m_fraJs);
    title->setObjectName(QStringLiteral("fraJs_title"));
    title->setFont(kaiFont(18, true));
    title->setGeometry(20, 10, 300, 36);

    m_lblClose2 = new QToolButton(m_fraJs);
    m_lblClose2->setObjectName(QStringLiteral("lblClose_2"));
    m_lblClose2->setText(QStringLiteral("×"));
    m_lblClose2->setAccessibleName(QStringLiteral("×"));
    m_lblClose2->setAutoRaise(true);
    m_lblClose2->setFont(songFont(14, true));
    m_lblClose2->setCursor(Qt::PointingHandCursor);
    m_lblClose2->setGeometry(520, 6, 32, 32);
    connect(m_lblClose2, &QToolButton::clicked, this, &SpeechTimer::closeSettingsPanel);

    m_lblFangshi = new QLabel(QStringLiteral("方式"), m_fraJs);
    m_lblFangshi->setObjectName(QStringLiteral("lblFangshi"));
    m_lblFangshi->setFont(songFont(12, true));
    m_lblFangshi->setGeometry(24, 60, 50, 30);

    m_cmbJsFs = new QComboBox(m_fraJs);
    m_cmbJsFs->setObjectName(QStringLiteral("cmbJsFs"));
    m_cmbJsFs->addItems({QStringLiteral("倒计时"), QStringLiteral("正计时")});
    m_cmbJsFs->setFont(songFont(12));
    m_cmbJsFs->setAccessibleName(QStringLiteral("方式"));
    m_cmbJsFs->setGeometry(80, 58, 130, 34);
    connect(m_cmbJsFs, &QComboBox::activated, this, [this] { cmbJsFs_Click(); });

    auto* hint1 = new QLabel(m_config.firstHint, m_fraJs);
    hint1->setObjectName(QStringLiteral("fraJs_hint1"));
    hint1->setFont(songFont(11));
    hint1->setGeometry(230, 60, 310, 30);

    m_cmdOk2 = makeTextButton(QStringLiteral("确定"), m_fraJs);
    m_cmdOk2->setObjectName(QStringLiteral("cmdOk_2"));
    m_cmdOk2->setGeometry(450, 110, 90, 36);
    // Enter on the focused button closes the panel as Space does.
    m_cmdOk2->setAutoDefault(true);
    connect(m_cmdOk2, &QPushButton::clicked, this, &SpeechTimer::closeSettingsPanel);

    auto* hint2 = new QLabel(QStringLiteral("* 默认时间是多少。"), m_fraJs);
    hint2->setObjectName(QStringLiteral("fraJs_hint2"));
    hint2->setFont(songFont(11));
    hint2->setGeometry(24, 174, 400, 30);

    m_fraJs->hide();
}

void SpeechTimer::buildMenuItems(QWidget* host)
{
    m_startAction = new QAction(kStartCaption, host);
    m_startAction->setObjectName(QStringLiteral("MnJs_start"));
    m_startAction->setShortcut(m_config.startShortcut);
    connect(m_startAction, &QAction::triggered, this, &SpeechTimer::MnJs_Start_Click);

    m_settingsAction = new QAction(QStringLiteral("计时设置"), host);
    m_settingsAction->setObjectName(QStringLiteral("MnJs_settings"));
    m_settingsAction->setShortcut(m_config.settingsShortcut);
    connect(m_settingsAction, &QAction::triggered, this, &SpeechTimer::MnJs_Settings_Click);

    m_modeMenu = new QMenu(QStringLiteral("计时方式(&J)"), host);
    m_modeMenu->setObjectName(QStringLiteral("MnJs_mode"));
    const QStringList modes{QStringLiteral("倒计时"), QStringLiteral("正计时")};
    for (int i = 0; i < 2; ++i) {
        m_mnJsFs[i] = m_modeMenu->addAction(modes[i]);
        m_mnJsFs[i]->setObjectName(QStringLiteral("MnJsFs_%1").arg(i));
        connect(m_mnJsFs[i], &QAction::triggered, this, [this, i] { MnJsFs_Click(i); });
    }

    m_unitMenu = new QMenu(QStringLiteral("时间单位(&D)"), host);
    m_unitMenu->setObjectName(QStringLiteral("MnJs_unit"));
    const QStringList units{QStringLiteral("秒"), QStringLiteral("分"), QStringLiteral("时")};
    for (int i = 0; i < 3; ++i) {
        m_mnJsDw[i] = m_unitMenu->addAction(units[i]);
        m_mnJsDw[i]->setObjectName(QStringLiteral("MnJsDw_%1").arg(i));
        connect(m_mnJsDw[i], &QAction::triggered, this, [this, i] { MnJsDw_Click(i); });
    }
}

QPushButton* SpeechTimer::Command1(int index) const
{
    return index == 2 ? m_plus : index == 3 ? m_minus : nullptr;
}

// --- Start and stop ---------------------------------------------------------

void SpeechTimer::imgJs_Click()
{
    if (m_running)
        stop(true);
    else
        start();
}

void SpeechTimer::lblSj_Click()
{
    imgJs_Click();
}

void SpeechTimer::lblSj_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton && m_popupMenu)
        m_popupMenu->popup(QCursor::pos());
}

void SpeechTimer::MnJs_Start_Click()
{
    imgJs_Click();
}

void SpeechTimer::start()
{
    // The unit and the time box are read only here: changing them while the
    // clock runs waits for the next start.
    m_run.start(runSeconds(m_cmbFs1->currentText(), m_timerUnit), m_services.clock->monotonicMs());
    m_timJs->start();
    m_running = true;
    m_imgJs->setIcon(QIcon(runningTimerPicture()));
    m_imgJs->setToolTip(kPauseCaption);
    m_imgJs->setAccessibleName(kPauseCaption);
    m_services.sound->playSound(m_config.startCue);
    m_startAction->setText(kPauseCaption);
    emit runningChanged(true);
}

void SpeechTimer::stop(bool withCue)
{
    const bool wasRunning = m_running;
    m_timJs->stop();
    m_running = false;
    showIdleButton();
    if (withCue)
        m_services.sound->playSound(m_config.stopCue);
    if (wasRunning)
        emit runningChanged(false);
}

void SpeechTimer::showIdleButton()
{
    m_imgJs->setIcon(QIcon(idleTimerPicture()));
    m_imgJs->setToolTip(kStartCaption);
    m_imgJs->setAccessibleName(kStartCaption);
    m_startAction->setText(kStartCaption);
}

void SpeechTimer::timJs_Timer()
{
    if (!m_running)
        return;
    const TimerRun::Tick tick = m_run.tick(m_services.clock->monotonicMs(), m_timerMode);
    if (tick.timedOut) {
        // The stop cue is cut off by the end cue, which is what is heard.
        stop(true);
        m_services.sound->playSound(m_config.endCue);
    }
    m_lblSj->setText(tick.display);
}

// --- The bar and the settings panel ----------------------------------------

void SpeechTimer::imgJs0_Click()
{
    // The flag, not the on-screen state: the bar itself may be hidden.
    setBarFolded(!m_fraJs3->isHidden());
}

void SpeechTimer::MnJs_Settings_Click()
{
    if (m_settingsPlace)
        m_fraJs->move(m_settingsPlace());
    m_fraJs->show();
    m_fraJs->raise();
}

void SpeechTimer::closeSettingsPanel()
{
    m_fraJs->hide();
    emit settingsClosed();
}

void SpeechTimer::Command1_Click(int index)
{
    if (index == 2 || index == 3)
        stepNumberBox(m_cmbFs1, index);
    else if ((index == 0 || index == 1) && m_scoreBox)
        stepNumberBox(m_scoreBox, index);
}

void SpeechTimer::cmbFs_LostFocus(int index)
{
    QComboBox* box = index == 1 ? m_cmbFs1 : index == 0 ? m_scoreBox.data() : nullptr;
    if (box)
        box->setEditText(numberBoxText(box->currentText()));
}

void SpeechTimer::setScoreBox(QComboBox* box)
{
    m_scoreBox = box;
    if (box)
        filterNumberBox(box, [this] { cmbFs_LostFocus(0); });
}

void SpeechTimer::filterNumberBox(QComboBox* box, std::function<void()> lostFocus)
{
    new NumberBoxFilter(box, std::move(lostFocus));
}

void SpeechTimer::stepNumberBox(QComboBox* box, int index)
{
    if (box)
        box->setEditText(steppedNumberText(box->currentText(), index % 2 == 0));
}

// --- Unit and mode, list and menu kept in step ------------------------------

void SpeechTimer::cmbJsDw_Click()
{
    if (m_timerUnit >= 0 && m_timerUnit < 3)
        m_mnJsDw[m_timerUnit]->setEnabled(true);
    m_timerUnit = static_cast<std::int16_t>(m_cmbJsDw->currentIndex());
    if (m_timerUnit >= 0 && m_timerUnit < 3)
        m_mnJsDw[m_timerUnit]->setEnabled(false);
}

void SpeechTimer::MnJsDw_Click(int index)
{
    m_cmbJsDw->setCurrentIndex(index);
    cmbJsDw_Click(); // setting the index raises no signal of its own
}

void SpeechTimer::setModeItemState(int oldMode, int newMode)
{
    if (oldMode >= 0 && oldMode < 2)
        m_mnJsFs[oldMode]->setEnabled(true);
    if (newMode >= 0 && newMode < 2)
        m_mnJsFs[newMode]->setEnabled(false);
}

void SpeechTimer::cmbJsFs_Click()
{
    const int chosen = m_cmbJsFs->currentIndex();
    if (m_config.menuDrivesMode) {
        if (chosen != m_timerMode)
            MnJsFs_Click(chosen);
        return;
    }
    setModeItemState(m_timerMode, chosen);
    m_timerMode = static_cast<std::int16_t>(chosen);
}

void SpeechTimer::MnJsFs_Click(int index)
{
    if (!m_config.menuDrivesMode) {
        m_cmbJsFs->setCurrentIndex(index);
        cmbJsFs_Click();
        return;
    }
    setModeItemState(m_timerMode, index);
    m_timerMode = static_cast<std::int16_t>(index);
    // The combo's own handler would find nothing to do now.
    if (m_cmbJsFs->currentIndex() != index)
        m_cmbJsFs->setCurrentIndex(index);
}

void SpeechTimer::selectUnit(int index)
{
    MnJsDw_Click(index);
}

void SpeechTimer::selectMode(int index)
{
    m_cmbJsFs->setCurrentIndex(index);
    cmbJsFs_Click();
}

// --- Draws and settings ------------------------------------------------------

void SpeechTimer::cancelForDraw()
{
    stop(false);
    m_lblSj->setText(QStringLiteral("00:00:00"));
    m_lblSj->hide();
    m_fraJs2->hide();
}

void SpeechTimer::rearmAfterDraw()
{
    // A timer started while the draw was rolling is cancelled like one that
    // ran before it, so the idle button never stands beside a running clock.
    if (isRunning()) {
        stop(false);
        m_lblSj->setText(QStringLiteral("00:00:00"));
    }
    showIdleButton();
    setBarFolded(true);
    m_fraJs2->show();
    m_lblSj->show();
}

void SpeechTimer::applySettings(const QString& unitSetting, const QString& modeSetting,
                                const QString& timeSetting)
{
    // A stored index outside a list selects its first entry rather than none.
    const int unit = toInt16(Val(unitSetting));
    selectUnit(unit >= 0 && unit < m_cmbJsDw->count() ? unit : 0);
    const int mode = toInt16(Val(modeSetting));
    selectMode(mode >= 0 && mode < m_cmbJsFs->count() ? mode : 0);
    m_cmbFs1->setEditText(numberBoxText(timeSetting));
}

int SpeechTimer::unitIndex() const
{
    return m_cmbJsDw->currentIndex();
}

int SpeechTimer::modeIndex() const
{
    return m_cmbJsFs->currentIndex();
}

QString SpeechTimer::timeSetting() const
{
    return numberBoxText(m_cmbFs1->currentText());
}

} // namespace zelvano
