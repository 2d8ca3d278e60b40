#pragma once

#include "shell/gui/Fonts.h"
#include "shell/gui/ModeNavigator.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

namespace zelvano
{

// A working window that only shows its caption and its return item: what
// the mode menu's tests enter instead of a real mode window.
class ModeWindowStub : public QMainWindow
{
public:
    ModeWindowStub(const QString& caption, const QString& menuTitle, const QString& returnCaption,
                   ModeNavigator& navigator, QWidget* parent = nullptr)
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

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        m_navigator.windowClosed(this);
    }

private:
    ModeNavigator& m_navigator;
};

} // namespace zelvano
