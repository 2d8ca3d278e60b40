#include "shell/gui/ModeWindowStub.h"

#include "shell/gui/Fonts.h"
#include "shell/gui/ModeNavigator.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

namespace zelvano
{

ModeWindowStub::ModeWindowStub(const QString& caption, const QString& menuTitle,
                               const QString& returnCaption, ModeNavigator& navigator,
                               QWidget* parent)
    : QMainWindow(parent), m_navigator(navigator)
{
    setWindowTitle(caption);
    resize(800, 560);
    QMenu* menu = menuBar()->addMenu(menuTitle);
    QAction* back = menu->addAction(returnCaption);
    connect(back, &QAction::triggered, this, [this] { m_navigator.returnToMenu(this); });

    auto* label = new QLabel(caption, this);
    label->setFont(kaiFont(28, true));
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
}

void ModeWindowStub::closeEvent(QCloseEvent* event)
{
    event->accept();
    m_navigator.windowClosed(this);
}

} // namespace zelvano
