#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace zelvano
{

struct AppServices;

// How the three draw windows differ in their format menu.
struct DisplayFormatConfig {
    QString menuTitle = QStringLiteral("格式(&X)");
    QString enlargeCaption = QStringLiteral("文字放大");
    QString shrinkCaption = QStringLiteral("文字缩小");
    QString colourCaption = QStringLiteral("颜色(&Y)");
    QKeySequence enlargeShortcut;
    QKeySequence shrinkShortcut;
    // Index of the colour submenu among the menu's items; 3 means a separator
    // stands at index 2.
    int colourItemIndex = 2;
    // After every call of MnGs_Click the time display goes one display height
    // below the result label.
    bool moveTimeDisplayBelowResult = false;
    // fraTs takes the background with every colour item (it always takes a
    // stored custom background at load).
    bool recolourFraTsWithColourItems = false;
    // The current colour item is greyed so it cannot be chosen again.
    bool greyCurrentColourItem = true;

    static DisplayFormatConfig numberDraw(); // FrmYh
    static DisplayFormatConfig classroom();  // FrmKtHd
    static DisplayFormatConfig prizeDraw();  // FrmDjYh
};

// The widgets the format changes. Only `background` and `lblXm` are needed.
struct DisplayTargets {
    QWidget* background = nullptr; // the window surface behind the labels
    QLabel* lblXm = nullptr;       // the big result label
    QLabel* lblSj = nullptr;       // the time display: own size step, takes the text colour
                                   // after a colour item (keeps its own at load)
    QWidget* fraTs = nullptr;      // the start-button frame of FrmYh/FrmKtHd
    // Take the window background at a stored custom background and after
    // every colour item (the prize window's fraTs, FraTs2, lstHj).
    QList<QWidget*> backgroundFollowers;
    // Take lblXm's text colour at a stored text colour and after every colour
    // item (the prize window's lblXm2 and lstHj).
    QList<QWidget*> textFollowers;
    // Take lblXm's font size after every size step (the prize window's lblXm2).
    QList<QWidget*> sizeFollowers;

    // The targets of a window with a timer and a start-button frame (the
    // number and classroom windows).
    static DisplayTargets timedDraw(QWidget* background, QLabel* lblXm, QLabel* lblSj,
                                    QWidget* fraTs)
    {
        DisplayTargets targets;
        targets.background = background;
        targets.lblXm = lblXm;
        targets.lblSj = lblSj;
        targets.fraTs = fraTs;
        return targets;
    }
};

// The text size and colour scheme of a draw window on the projector, with
// the "格式" menu that changes them and the colour setting string that keeps
// the scheme from one run to the next.
class DisplayFormat : public QObject
{
    Q_OBJECT

public:
    DisplayFormat(AppServices& services, DisplayFormatConfig config, DisplayTargets targets,
                  QWidget* host);
    ~DisplayFormat() override;

    // "格式" with its items; the window puts it into its menu bar.
    QMenu* MnGeShi() const { return m_menu; }
    QAction* MnGs(int index) const; // the separator of FrmYh is MnGs(2)
    QMenu* colourMenu() const { return m_colourMenu; }
    QAction* MnYs(int index) const { return m_mnYs.at(index); }

    // The size items of the 格式 menu; the colour submenu follows them at the
    // window's own index (DisplayFormatConfig::colourItemIndex).
    enum class MnGsItem { Enlarge = 0, Shrink = 1 };
    // Enlarge and shrink; the colour item's index changes no size.
    void MnGs_Click(int index);
    void MnGs_Click(MnGsItem item) { MnGs_Click(static_cast<int>(item)); }
    // 0..5 presets, 6 background and 7 text colour from the colour dialog.
    void MnYs_Click(int index);

    // The stored setting applied while the window loads.
    void loadColourSetting(const QString& setting);
    // The setting to store when the window closes.
    QString colourSetting() const;
    std::int16_t colourIndex() const { return m_colourIndex; }

    int backgroundColour() const { return m_background; } // Windows colour
    int textColour() const { return m_text; }             // Windows colour of lblXm

private:
    void applyBackground(int colour);
    void applyText(int colour);
    void keepTextReadable();
    void paintBackground(QWidget* widget, int colour) const;
    void paintText(QWidget* widget, int colour) const;
    void setFontPoints(QWidget* widget, int points) const;
    void moveTimeDisplay();

    AppServices& m_services;
    DisplayFormatConfig m_config;
    DisplayTargets m_targets;
    QMenu* m_menu = nullptr;
    QMenu* m_colourMenu = nullptr;
    QList<QAction*> m_items;
    std::array<QAction*, 8> m_mnYs{};
    std::int16_t m_colourIndex = -1;
    int m_background = 0;
    int m_text = 0;
};

} // namespace zelvano
