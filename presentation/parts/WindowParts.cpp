#include "presentation/parts/WindowParts.h"

#include "presentation/parts/EntryCheck.h"
#include "presentation/parts/EventHook.h"
#include "presentation/parts/StartPicture.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/PictureButtons.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <algorithm>

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

double designScale(const QWidget* window, QSize design)
{
    const double width = std::max(window->width(), 1);
    const double height = std::max(window->height(), 1);
    return std::max(design.width() / width, design.height() / height);
}

void chooseGroupBox(const GroupBoxes& boxes, int index, int groupCount, int groupSize)
{
    boxes[GroupBox::Count]->setText(QString::number(groupCount));
    boxes[GroupBox::Size]->setText(QString::number(groupSize));
    QLineEdit* chosen = boxes.at(index);
    QLineEdit* other = boxes.at(1 - index);
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
    // Outside a dialog a push button takes only Space; Enter on the focused
    // "确定" closes the panel too.
    ok->setAutoDefault(true);
    QObject::connect(ok, &QPushButton::clicked, frame, onClose);
    frame->hide();
    panel.frame = frame;
    return panel;
}

namespace
{

// The two numbers with their options, the grouping buttons and the hint.
void buildGroupBoxes(GroupControls& c, QFrame* panel, const QString& hint,
                     const GroupHandlers& handlers)
{
    const char* options[2] = {"规定组数", "每组人数"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(options[i]), panel);
        option->setAccessibleName(option->text());
        option->setGeometry(20, 60 + 44 * i, 120, 32);
        QObject::connect(option, &QRadioButton::clicked, panel,
                         [f = handlers.OptFz_Click, i] { f(i); });
        auto* box = new QLineEdit(panel);
        box->setGeometry(140, 60 + 44 * i, 80, 30);
        box->setAccessibleName(option->text());
        checkOnCommit(
            box, [f = handlers.applyGroupInput, i] { f(i); },
            [panel, box] { return panel->isVisible() && box->isEnabled(); });
        c.OptFz.at(i) = option;
        c.txtFz.at(i) = box;
    }
    c.OptFz[GroupBox::Count]->setChecked(true);
    c.txtFz[GroupBox::Count]->setText(QStringLiteral("1"));
    c.txtFz[GroupBox::Size]->setText(QStringLiteral("0"));
    c.txtFz[GroupBox::Size]->setEnabled(false);

    c.imgFz[GroupingOrder::AtRandom] = makeGlyphButton(
        QStringLiteral("随"), QColor(0xd2, 0x69, 0x1e), QStringLiteral("随机分组"), panel, 240, 62);
    c.imgFz[GroupingOrder::InOrder] = makeGlyphButton(
        QStringLiteral("顺"), QColor(0x46, 0x82, 0xb4), QStringLiteral("顺序分组"), panel, 296, 62);
    for (int i = 0; i < 2; ++i) {
        QObject::connect(c.imgFz.at(i), &QToolButton::clicked, panel,
                         [f = handlers.imgFz_Click, i] { f(i); });
        // Editing a number offers the two grouping buttons.
        QObject::connect(
            c.txtFz.at(i), &QLineEdit::textEdited, panel,
            [random = c.imgFz[GroupingOrder::AtRandom], ordered = c.imgFz[GroupingOrder::InOrder]] {
                random->show();
                ordered->show();
            });
    }
    c.lblXx2 = makeLabel(hint, panel, 20, 148, 440);
}

// The group and member lists, the chosen member, the summary, the composition.
void buildGroupLists(GroupControls& c, QFrame* panel, const QStringList& compositions,
                     const GroupHandlers& handlers)
{
    const int listHeight = std::max(100, panel->height() - 270);
    makeLabel(QStringLiteral("组号"), panel, 20, 182, 80);
    c.List2 = new QListWidget(panel);
    c.List2->setObjectName(QStringLiteral("List2"));
    c.List2->setAccessibleName(QStringLiteral("组号"));
    c.List2->setGeometry(20, 212, 100, listHeight);
    // Keys, a drag and code move the group selection too: the member list
    // must always show the group that is selected.
    QObject::connect(c.List2, &QListWidget::currentRowChanged, panel, handlers.List2_Click);
    c.List1 = new QListWidget(panel);
    c.List1->setObjectName(QStringLiteral("List1"));
    c.List1->setAccessibleName(QStringLiteral("组员"));
    c.List1->setGeometry(130, 212, 200, listHeight);
    // A member is called by a click, also on the one already selected, and by
    // moving the selection with the keys; focus alone calls nobody. Refilling
    // the list for another group first drops the selection while the old
    // member is still current: that is no call (it would pair the new
    // group's member with the old name).
    QObject::connect(
        c.List1, &QListWidget::itemClicked, panel,
        [list = c.List1, f = handlers.List1_Click](QListWidgetItem* item) { f(list->row(item)); });
    QObject::connect(c.List1, &QListWidget::itemSelectionChanged, panel,
                     [list = c.List1, f = handlers.List1_Click] {
                         if (!list->selectedItems().isEmpty())
                             f(list->currentRow());
                     });

    const int side = panel->width() - 370;
    c.LabCz = makeLabel(QStringLiteral("第1组名单"), panel, 130, 182, side + 30);
    c.LabXx = makeLabel(QString(), panel, 350, 212, side, 60);
    c.LabCz->setObjectName(QStringLiteral("LabCz"));
    c.LabXx->setObjectName(QStringLiteral("LabXx"));
    c.LabXx->setWordWrap(true);

    makeLabel(QStringLiteral("组合方式"), panel, 350, 290, 100);
    c.cmbZh = new QComboBox(panel);
    c.cmbZh->setAccessibleName(QStringLiteral("组合方式"));
    c.cmbZh->addItems(compositions);
    c.cmbZh->setGeometry(450, 286, 200, 32);
    QObject::connect(c.cmbZh, &QComboBox::activated, panel, handlers.cmbZh_Click);
}

} // namespace

GroupControls buildGroupControls(QFrame* panel, const QString& hint,
                                 const QStringList& compositions, const GroupHandlers& handlers)
{
    GroupControls c;
    buildGroupBoxes(c, panel, hint, handlers);
    buildGroupLists(c, panel, compositions, handlers);
    return c;
}

ScaledPanel::ScaledPanel(QFrame* panel) : m_panel(panel), m_design(panel->size())
{
    for (QWidget* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        m_places.push_back({child, child->geometry(), child->font().pointSizeF()});
}

double ScaledPanel::scaleTo(double scale, QSize room)
{
    if (!m_panel || m_design.isEmpty())
        return 1;
    const double s = std::min({scale, double(room.width()) / m_design.width(),
                               double(room.height()) / m_design.height()});
    m_panel->resize(QSize(int(m_design.width() * s), int(m_design.height() * s)));
    for (const Place& place : m_places) {
        const QRect g = place.geometry;
        place.widget->setGeometry(int(g.x() * s), int(g.y() * s), int(g.width() * s),
                                  int(g.height() * s));
        if (place.pointSize > 0) {
            QFont font = place.widget->font();
            font.setPointSizeF(std::max(6.0, place.pointSize * s));
            place.widget->setFont(font);
        }
    }
    return s;
}

StartButton::StartButton(QWidget* canvas, const QString& caption, std::function<void()> onPress)
    : QFrame(canvas)
{
    setObjectName(QStringLiteral("fraTs"));
    setAutoFillBackground(true);
    resize(150, 150);
    m_imgOk = new StartPicture(this, caption, std::move(onPress));
    m_imgOk->setGeometry(5, 5, 140, 140);
    hide();
}

void StartButton::showLook(bool hover)
{
    m_imgOk->showLook(hover);
}

} // namespace zelvano
