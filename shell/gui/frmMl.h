#pragma once

#include "shell/core/Mode.h"

#include <QWidget>

#include <array>

class QLabel;
class QRadioButton;
class QToolButton;

namespace zelvano
{

struct AppServices;
class ModeNavigator;

// The mode menu: five modes to choose from, the description of the chosen
// one, and the button that enters it. The last choice is remembered.
class frmMl : public QWidget
{
    Q_OBJECT
public:
    frmMl(AppServices& services, ModeNavigator& navigator, QWidget* parent = nullptr);

    void OptMl_Click(int index);
    void imgIn_Click();

    QRadioButton* OptMl(int index) const { return m_options.at(static_cast<size_t>(index)); }
    QLabel* lblXx() const { return m_lblXx; }
    QToolButton* imgIn() const { return m_imgIn; }
    // The chosen mode, which the enter button opens.
    Mode mode() const { return m_mode; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    // Tab reaches the checked option only, so it lands where the choice is.
    void focusOnlyChecked();

    AppServices& m_services;
    ModeNavigator& m_navigator;
    bool menuLoaded = false;
    Mode m_mode = Mode::Classroom;

    std::array<QRadioButton*, kModeCount> m_options{};
    QLabel* m_lblXx = nullptr;
    QToolButton* m_imgIn = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label4 = nullptr;
};

} // namespace zelvano
