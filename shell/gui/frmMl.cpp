#include "shell/gui/frmMl.h"

#include "shell/core/AppServices.h"
#include "shell/core/ModeCatalog.h"
#include "shell/core/Numbers.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/PictureButtons.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <functional>

namespace zelvano
{

namespace
{

constexpr int kWidth = 800;
constexpr int kHeight = 540;

// An option button that says when it has taken the focus. Qt gives Tab to
// whichever option of a group took the focus last (a right click does
// that without selecting it); the menu gives it back to the selected one.
class ModeOption final : public QRadioButton
{
public:
    ModeOption(const QString& caption, QWidget* parent, std::function<void()> focused)
        : QRadioButton(caption, parent), m_focused(std::move(focused))
    {
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QRadioButton::focusInEvent(event);
        m_focused();
    }

private:
    std::function<void()> m_focused;
};

} // namespace

frmMl::frmMl(AppServices& services, ModeNavigator& navigator, QWidget* parent)
    : QWidget(parent), m_services(services), m_navigator(navigator)
{
    buildControls();
    Form_Load();
}

void frmMl::buildControls()
{
    setWindowTitle(QStringLiteral("Zelvano >> 目录"));
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_label1 = new QLabel(QStringLiteral("Zelvano"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(kaiFont(40, true));
    m_label1->setStyleSheet(QStringLiteral("color: #8b1a1a;"));
    m_label1->setGeometry(40, 18, 360, 80);

    m_label4 = new QLabel(QStringLiteral("版本6.0"), this);
    m_label4->setObjectName(QStringLiteral("Label4"));
    m_label4->setFont(songFont(11));
    m_label4->setGeometry(kWidth - 130, 56, 110, 28);

    // The options stand one under the other along a gentle curve.
    for (int index = 0; index < kModeCount; ++index) {
        auto* option =
            new ModeOption(modeCaption(modeAt(index)), this, [this] { focusOnlyChecked(); });
        option->setObjectName(QStringLiteral("OptMl(%1)").arg(index));
        option->setAccessibleName(modeCaption(modeAt(index)));
        option->setFont(songFont(18));
        const int bend = (index - 2) * (index - 2);
        option->adjustSize();
        option->move(56 + 14 * bend, 130 + index * 66);
        // Arrow keys and assistive tools check an option without a click.
        connect(option, &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                OptMl_Click(index);
        });
        option->installEventFilter(this);
        m_options[static_cast<size_t>(index)] = option;
    }

    m_lblXx = new QLabel(this);
    m_lblXx->setObjectName(QStringLiteral("lblXx"));
    m_lblXx->setFont(songFont(12));
    m_lblXx->setWordWrap(true);
    m_lblXx->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblXx->setGeometry(320, 126, kWidth - 350, 290);

    m_imgIn = makePictureButton(enterButtonPicture(), QStringLiteral("点击进入"), this);
    m_imgIn->setObjectName(QStringLiteral("imgIn"));
    m_imgIn->setGeometry(kWidth - 210, kHeight - 100, 170, 70);
    connect(m_imgIn, &QToolButton::clicked, this, &frmMl::imgIn_Click);
    m_imgIn->installEventFilter(this);
    setTabOrder(m_options.back(), m_imgIn);
}

void frmMl::Form_Load()
{
    menuLoaded = false;
    const Mode mode = modeFromSetting(m_services.settings->read(Setting::Afm));
    // Checking an option in code raises no click, so the handler is called
    // here as a click would.
    m_options[static_cast<size_t>(modeIndex(mode))]->setChecked(true);
    OptMl_Click(modeIndex(mode));
    menuLoaded = true;
}

void frmMl::OptMl_Click(int index)
{
    m_mode = modeAt(index);
    m_lblXx->setText(modeDescription(m_mode));
    focusOnlyChecked();
    if (menuLoaded)
        m_services.settings->write(Setting::Afm, numberText(index));
}

void frmMl::imgIn_Click()
{
    m_navigator.enterMode(this, m_mode);
}

void frmMl::focusOnlyChecked()
{
    for (int index = 0; index < kModeCount; ++index) {
        QRadioButton* option = m_options[static_cast<size_t>(index)];
        option->setFocusPolicy(index == modeIndex(m_mode) ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// The keys of the options and of the enter button: an arrow on an option
// selects the next or previous one (the focus goes with it, and the choice
// is remembered as a click's is), Return or Enter enters the selected mode.
bool frmMl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        imgIn_Click();
        return true;
    }
    const int step = key == Qt::Key_Down || key == Qt::Key_Right ? 1
                     : key == Qt::Key_Up || key == Qt::Key_Left  ? -1
                                                                 : 0;
    if (step == 0)
        return QWidget::eventFilter(watched, event);
    // On the enter button an arrow would move the focus to an option that
    // is not the selected one.
    if (watched == m_imgIn)
        return true;
    QRadioButton* next = m_options[static_cast<size_t>(modeIndex(neighbourMode(m_mode, step)))];
    next->setChecked(true);
    next->setFocus(Qt::TabFocusReason);
    return true;
}

void frmMl::closeEvent(QCloseEvent* event)
{
    event->accept();
    m_navigator.windowClosed(this);
}

void frmMl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(0xfd, 0xf6, 0xe3));
    background.setColorAt(1, QColor(0xf2, 0xdc, 0xb8));
    painter.fillRect(rect(), background);
    painter.setPen(QPen(QColor(0x8b, 0x1a, 0x1a), 2));
    painter.drawLine(30, 104, width() - 30, 104);
    painter.setPen(QPen(QColor(0xb0, 0x80, 0x50), 1));
    painter.drawLine(300, 124, 300, height() - 40);
    painter.drawLine(30, height() - 20, width() - 30, height() - 20);
}

} // namespace zelvano
