#pragma once

#include <QMainWindow>

namespace zelvano
{

class ModeNavigator;

// A working window that only shows its caption and its return item, for the
// modes whose windows are not built yet.
class ModeWindowStub : public QMainWindow
{
    Q_OBJECT
public:
    ModeWindowStub(const QString& caption, const QString& menuTitle, const QString& returnCaption,
                   ModeNavigator& navigator, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ModeNavigator& m_navigator;
};

} // namespace zelvano
