#include "shell/gui/WindowParts.h"

#include "shell/gui/EventHook.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/PictureButtons.h"

#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace zelvano
{

void openAtDesignSize(QWidget* window, QSize design)
{
    QSize size = design;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(available.size() - QSize(20, 60));
        window->resize(size);
        window->move(available.center() - window->rect().center());
    } else {
        window->resize(size);
    }
    if (window->layout())
        window->layout()->activate();
}

void chooseGroupBox(QLineEdit* const (&boxes)[2], int index, int groupCount, int groupSize)
{
    boxes[0]->setText(QString::number(groupCount));
    boxes[1]->setText(QString::number(groupSize));
    QLineEdit* chosen = boxes[index];
    QLineEdit* other = boxes[1 - index];
    chosen->setEnabled(true);
    chosen->setStyleSheet(QStringLiteral("background: #ffffff;"));
    other->setStyleSheet(QStringLiteral("background: #e0e0e0;"));
    other->setEnabled(false);
}

QLabel* makeLabel(const QString& text, QWidget* parent, int x, int y, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, width, height);
    return label;
}

QToolButton* makeGlyphButton(const QString& glyph, const QColor& colour, const QString& toolTip,
                             QWidget* parent, int x, int y, int size)
{
    QToolButton* button = makePictureButton(glyphPicture(glyph, colour, size - 6), toolTip, parent);
    button->setGeometry(x, y, size, size);
    return button;
}

SetupPanel makeSetupPanel(QWidget* canvas, const QString& title, int closeIndex, QSize size,
                          std::function<void()> onClose)
{
    SetupPanel panel;
    QFrame* frame = new QFrame(canvas);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    frame->setObjectName(QStringLiteral("panel"));
    frame->setStyleSheet(
        QStringLiteral("QFrame#panel { background: #fffaf0; border: 2px solid #8b1a1a; }"));
    frame->resize(size);
    frame->setFont(songFont(12));

    panel.heading = makeLabel(title, frame, 16, 10, size.width() - 70, 34);
    panel.heading->setFont(kaiFont(18, true));

    auto* close = new QToolButton(frame);
    close->setObjectName(QStringLiteral("lblClose%1").arg(closeIndex));
    close->setText(QStringLiteral("×"));
    close->setAccessibleName(QStringLiteral("×"));
    close->setAutoRaise(true);
    // Taking the focus lets a box being edited finish its entry first.
    close->setFocusPolicy(Qt::StrongFocus);
    close->setFont(songFont(16, true));
    close->setGeometry(size.width() - 42, 6, 34, 34);
    QObject::connect(close, &QToolButton::clicked, frame, onClose);

    auto* ok = new QPushButton(QStringLiteral("确定"), frame);
    ok->setObjectName(QStringLiteral("cmdOk%1").arg(closeIndex));
    ok->setAccessibleName(QStringLiteral("确定"));
    ok->setGeometry(size.width() - 130, size.height() - 50, 110, 38);
    QObject::connect(ok, &QPushButton::clicked, frame, onClose);
    frame->hide();
    panel.frame = frame;
    return panel;
}

StartButton::StartButton(QWidget* canvas, const QString& appDir, const QString& caption,
                         std::function<void()> onPress)
    : QFrame(canvas), m_appDir(appDir), m_caption(caption)
{
    setObjectName(QStringLiteral("fraTs"));
    setAutoFillBackground(true);
    resize(150, 150);
    m_imgOk = new QToolButton(this);
    m_imgOk->setObjectName(QStringLiteral("imgOk"));
    m_imgOk->setToolTip(caption);
    m_imgOk->setAccessibleName(caption);
    m_imgOk->setAutoRaise(true);
    m_imgOk->setGeometry(5, 5, 140, 140);
    m_imgOk->setIconSize(QSize(140, 140));
    m_imgOk->setCursor(Qt::PointingHandCursor);
    showLook(false);
    connect(m_imgOk, &QToolButton::pressed, this, std::move(onPress));
    connect(m_imgOk, &QToolButton::released, this, [this] { showLook(false); });
    EventHook::attach(m_imgOk, QEvent::Enter, [this] { showLook(true); });
    EventHook::attach(m_imgOk, QEvent::Leave, [this] { showLook(false); });
    // Leaving the button over its frame restores the normal look.
    EventHook::attach(this, QEvent::Enter, [this] { showLook(false); });
    hide();
}

void StartButton::showLook(bool hover)
{
    QPixmap& picture = hover ? m_hover : m_normal;
    if (picture.isNull()) {
        picture.load(QDir(m_appDir).filePath(hover ? QStringLiteral("img/bt1.gif")
                                                   : QStringLiteral("img/bt2.gif")));
    }
    if (picture.isNull()) {
        m_imgOk->setIcon(QIcon());
        m_imgOk->setText(m_caption);
    } else {
        m_imgOk->setIcon(QIcon(picture));
    }
}

} // namespace zelvano
