#pragma once

#include "base/ItemArray.h"
#include "presentation/parts/StartPicture.h"

#include <QFrame>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QColor;
class QFrame;
class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QLineEdit;
class QToolButton;
class QWidget;

namespace zelvano
{

// Pieces the draw windows build alike.

// Sizes a draw window to its design size, shrunk to fit a small screen,
// centres it, and lays its canvas out so panels can be centred on it.
void openAtDesignSize(QWidget* window, QSize design);

// How much smaller than its design size a window is now (1 at the design
// size, 2 at half of it). Both are outer sizes, menu bar included, so at its
// design size a window's panels keep theirs.
double designScale(const QWidget* window, QSize design);

// The two grouping boxes txtFz(0) (number of groups) and txtFz(1) (members
// per group) when option `index` is chosen: both show the current numbers,
// the chosen box is white and enabled, the other grey and disabled.
// The grouping panel's two numbers (txtFz, OptFz): how many groups, or how
// many members each.
enum class GroupBox { Count = 0, Size = 1 };
// Its two grouping buttons (imgFz).
enum class GroupingOrder { AtRandom = 0, InOrder = 1 };
using GroupBoxes = ItemArray<GroupBox, QLineEdit*, 2>;

void chooseGroupBox(const GroupBoxes& boxes, int index, int groupCount, int groupSize);

// A label at a fixed place.
QLabel* makeLabel(const QString& text, QWidget* parent, int x, int y, int width = 120,
                  int height = 28);

// A round glyph picture button (add, remove, group, save ...) at a fixed place.
QToolButton* makeGlyphButton(const QString& glyph, const QColor& colour, const QString& toolTip,
                             QWidget* parent, int x, int y, int size = 46);

// A setup panel of the guided setup: a framed box with its title, the close
// label "×" (lblClose(i)) and the button "确定" (cmdOk(i)); both run
// `onClose`. Hidden until the window shows it.
struct SetupPanel {
    QFrame* frame = nullptr;
    QLabel* heading = nullptr;
};
SetupPanel makeSetupPanel(QWidget* canvas, const QString& title, int closeIndex, QSize size,
                          std::function<void()> onClose);

// The controls of a grouping panel (fraFz), built alike in the number and
// the classroom windows; the window keeps the pointers under their names.
struct GroupControls {
    ItemArray<GroupBox, QRadioButton*, 2> OptFz;     // "规定组数", "每组人数"
    GroupBoxes txtFz;                                // the two numbers
    ItemArray<GroupingOrder, QToolButton*, 2> imgFz; // "随机分组", "顺序分组"
    QLabel* lblXx2 = nullptr;                        // the hint line
    QListWidget* List2 = nullptr;                    // group numbers
    QListWidget* List1 = nullptr;                    // members of the chosen group
    QLabel* LabCz = nullptr;                         // the chosen member
    QLabel* LabXx = nullptr;                         // the summary line
    QComboBox* cmbZh = nullptr;                      // the composition
};
struct GroupHandlers {
    std::function<void(int)> OptFz_Click;
    std::function<void(int)> applyGroupInput; // Enter, or leaving a box
    std::function<void(int)> imgFz_Click;
    std::function<void(int)> List2_Click; // the group row selected
    std::function<void(int)> List1_Click; // the member row clicked or selected
    std::function<void(int)> cmbZh_Click; // the composition chosen
};
GroupControls buildGroupControls(QFrame* panel, const QString& hint,
                                 const QStringList& compositions, const GroupHandlers& handlers);

// The handlers of a window that names them as the grouping panel does.
template <typename Window> GroupHandlers groupHandlersOf(Window* window)
{
    GroupHandlers handlers;
    handlers.OptFz_Click = [window](int i) { window->OptFz_Click(i); };
    handlers.applyGroupInput = [window](int i) { window->applyGroupInput(i); };
    handlers.imgFz_Click = [window](int i) { window->imgFz_Click(i); };
    handlers.List2_Click = [window](int row) { window->List2_Click(row); };
    handlers.List1_Click = [window](int row) { window->List1_Click(row); };
    handlers.cmbZh_Click = [window](int index) { window->cmbZh_Click(index); };
    return handlers;
}

// The big start button imgOk in its frame fraTs: the pictures
// img/bt2.gif (normal) and img/bt1.gif (under the pointer) of the
// application folder, loaded once; a missing picture leaves a caption so
// the button stays usable. `onPress` runs on the mouse press.
// The frame is the window's fraTs.
// A panel that grows and shrinks as a whole with its window: every control
// on it keeps its design place and font in proportion, so nothing is cut
// off and the "×" stays in its corner.
class ScaledPanel
{
public:
    ScaledPanel() = default;
    // Remembers the panel's present size and its controls as the design.
    explicit ScaledPanel(QFrame* panel);
    // Scales to `scale` of the design, never larger than `room`; returns the
    // factor applied.
    double scaleTo(double scale, QSize room);

private:
    struct Place {
        QWidget* widget;
        QRect geometry;
        double pointSize;
    };
    QFrame* m_panel = nullptr;
    QSize m_design;
    std::vector<Place> m_places;
};

class StartButton : public QFrame
{
public:
    StartButton(QWidget* canvas, const QString& caption, std::function<void()> onPress);
    QToolButton* imgOk() const { return m_imgOk; }
    // The hover look or the normal look.
    void showLook(bool hover);

private:
    StartPicture* m_imgOk = nullptr;
};

} // namespace zelvano
