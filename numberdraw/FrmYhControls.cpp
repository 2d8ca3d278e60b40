// Builds the controls and menus of the number and seat draw window.
#include "numberdraw/FrmYh.h"

#include "presentation/DisplayFormat.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/EntryCheck.h"
#include "presentation/parts/EventHook.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/AppServices.h"
#include "shell/core/ModeCatalog.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/PictureButtons.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

namespace
{

QLineEdit* makeBox(QWidget* parent, int x, int y, int w = 110, int h = 30)
{
    auto* box = new QLineEdit(parent);
    box->setGeometry(x, y, w, h);
    return box;
}

// Enter in a box runs the same handler as leaving it.
void onEnter(QLineEdit* box, std::function<void()> handler)
{
    QObject::connect(box, &QLineEdit::returnPressed, box, std::move(handler));
}

} // namespace

QFrame* FrmYh::makePanel(const QString& title, int closeIndex, QSize size)
{
    QFrame* panel = makeSetupPanel(m_canvas, title, closeIndex, size, [this, closeIndex] {
                        lblClose_Click(closeIndex);
                    }).frame;
    m_panels[static_cast<size_t>(closeIndex)] = panel;
    return panel;
}

void FrmYh::buildControls()
{
    m_stage =
        new DrawStage(this, *this, m_services,
                      DrawStageConfig::withStartButton(QStringLiteral("开始"), m_baseFontSize));
    std::tie(m_canvas, m_lblXm, m_fraTs) = m_stage->controls();

    buildValuePanel();
    buildGroupPanel();
}

void FrmYh::buildValuePanel()
{
    m_fraHmSz = makePanel(QStringLiteral("数值范围"), 0, QSize(560, 420));
    QFrame* p = m_fraHmSz;
    m_lblVal[RangeBox::First] = makeLabel(QStringLiteral("最小值"), p, 20, 66);
    m_txtXh[RangeBox::First] = makeBox(p, 130, 62);
    m_lblVal[RangeBox::Second] = makeLabel(QStringLiteral("最大值"), p, 20, 110);
    m_txtXh[RangeBox::Second] = makeBox(p, 130, 106);
    for (int i = 0; i < 2; ++i) {
        QLineEdit* box = m_txtXh.at(i);
        box->setAccessibleName(m_lblVal.at(i)->text());
        EventHook::attach(box, QEvent::FocusIn, [this, i] { txtXh_GotFocus(i); });
        checkOnCommit(box, [this, i] { rangeEntry(i); });
    }

    m_lstHm = new QListWidget(p);
    m_lstHm->setAccessibleName(QStringLiteral("号码列表"));
    m_lstHm->setGeometry(270, 56, 270, 270);
    // Selecting a value with the keys offers its removal as a click does.
    connect(m_lstHm, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lstHm_Click(m_lstHm->row(item)); });
    connect(m_lstHm, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_lstHm->selectedItems().isEmpty())
            lstHm_Click(m_lstHm->currentRow());
        else
            m_valueRow = -1;
    });
    connect(m_lstHm, &QListWidget::itemDoubleClicked, this, [this] { ImgZdy_Click(1); });

    auto* help = makeLabel(QStringLiteral("* 要录入哪些号码呢？先用最大最小值设置范围，再单个增删"),
                           p, 20, 150, 240, 84);
    help->setWordWrap(true);

    makeLabel(QStringLiteral("添加值"), p, 20, 250);
    m_txtShu = makeBox(p, 20, 282, 160);
    m_txtShu->setAccessibleName(QStringLiteral("添加值"));
    EventHook::attach(m_txtShu, QEvent::FocusIn, [this] {
        m_imgZdy[ImgZdyItem::Add]->show();
        m_txtShu->setStyleSheet(QStringLiteral("background: #ffffff;"));
    });
    EventHook::attach(m_txtShu, QEvent::FocusOut,
                      [this] { m_txtShu->setStyleSheet(QStringLiteral("background: #e0e0e0;")); });
    onEnter(m_txtShu, [this] { ImgZdy_Click(0); });

    m_imgZdy[ImgZdyItem::Add] = makeGlyphButton(QStringLiteral("+"), QColor(0x2e, 0x8b, 0x57),
                                                QStringLiteral("添加"), p, 190, 274);
    m_imgZdy[ImgZdyItem::Remove] = makeGlyphButton(QStringLiteral("−"), QColor(0xcd, 0x5c, 0x5c),
                                                   QStringLiteral("删除"), p, 20, 340);
    m_imgZdy[ImgZdyItem::Clear] = makeGlyphButton(QStringLiteral("清"), QColor(0x70, 0x70, 0x70),
                                                  QStringLiteral("清空"), p, 80, 340);
    for (int i = 0; i < 3; ++i) {
        connect(m_imgZdy.at(i), &QToolButton::clicked, this, [this, i] { ImgZdy_Click(i); });
    }
    m_imgZdy[ImgZdyItem::Add]->hide();
    m_imgZdy[ImgZdyItem::Remove]->hide();
}

void FrmYh::buildGroupPanel()
{
    m_fraFz = makePanel(QStringLiteral("分组规则"), 1, QSize(680, 400));
    QFrame* p = m_fraFz;
    m_fz = buildGroupControls(
        p, QStringLiteral("-> 修改数据，回车改变另一数"),
        {QStringLiteral("号码"), QStringLiteral("组、号码"), QStringLiteral("组、组员号、号码")},
        groupHandlersOf(this));
    GroupedDraw::Compositions compositions;
    compositions.entryCount = 3;
    compositions.fallback = 0;
    compositions.entryOfItem = [](int item) { return item >= 0 && item < 3 ? item : -1; };
    compositions.itemOfEntry = [](int entry) { return entry; };
    m_grouped = new GroupedDraw(
        m_session, *m_services.messages, [this] { showCalled(); }, this);
    m_grouped->attachPanel(p, m_fz, std::move(compositions));
    m_grouped->setNameItems([this](int i) { return MnXm(i); });
}

// 摇号方式: the order, 重复 and 滚动, the composition, 重置 and 返回.
QMenu* FrmYh::buildDrawMenu(QMenuBar* bar)
{
    QMenu* fangShi = bar->addMenu(QStringLiteral("摇号方式(&D)"));
    QMenu* order = fangShi->addMenu(QStringLiteral("顺序(&S)"));
    m_mnFs[MnFsItem::Order] = order->menuAction();
    const char* orders[2] = {"随机", "顺序"};
    for (int i = 0; i < 2; ++i) {
        m_mnSx.at(i) =
            order->addAction(QString::fromUtf8(orders[i]), this, [this, i] { MnSx_Click(i); });
    }
    m_mnFs[MnFsItem::Repeat] =
        fangShi->addAction(QStringLiteral("重复"), this, [this] { MnFs_Click(MnFsItem::Repeat); });
    m_mnFs[MnFsItem::Rolling] =
        fangShi->addAction(QStringLiteral("滚动"), this, [this] { MnFs_Click(MnFsItem::Rolling); });
    m_mnFs[MnFsItem::Repeat]->setCheckable(true);
    m_mnFs[MnFsItem::Rolling]->setCheckable(true);
    QMenu* composition = fangShi->addMenu(QStringLiteral("组合方式(&G)"));
    m_mnFs[MnFsItem::Composition] = composition->menuAction();
    const char* compositions[3] = {"号码", "组、号码", "组、组员号、号码"};
    for (int i = 0; i < 3; ++i) {
        m_mnZh[static_cast<size_t>(i)] = composition->addAction(QString::fromUtf8(compositions[i]),
                                                                this, [this, i] { MnZh_Click(i); });
    }
    m_mnFs[MnFsItem::Reset] =
        fangShi->addAction(QStringLiteral("重置"), this, [this] { MnFs_Click(MnFsItem::Reset); });
    m_mnFs[MnFsItem::BackToMenu] = fangShi->addAction(QStringLiteral("返回(&F)"), this,
                                                      [this] { MnFs_Click(MnFsItem::BackToMenu); });
    return fangShi;
}

void FrmYh::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setFont(songFont(12));
    QMenu* fangShi = buildDrawMenu(bar);

    QMenu* names = bar->addMenu(QStringLiteral("号码设置(&M)"));
    m_mnHm[MnHmItem::Values] = names->addAction(QStringLiteral("编辑号码"), this,
                                                [this] { MnHm_Click(MnHmItem::Values); });
    m_mnHm[MnHmItem::GroupRules] = names->addAction(QStringLiteral("分组规则(&F)"), this,
                                                    [this] { MnHm_Click(MnHmItem::GroupRules); });
    m_mnXmMenu = names->addMenu(QStringLiteral("选择号码(&X)"));
    m_mnHm[MnHmItem::Name] = m_mnXmMenu->menuAction();
    QMenu* format = m_displayFormat->MnGeShi();
    bar->addMenu(format);
    m_report = m_stage->addReport(modeCaption(m_mode), names);

    m_mnJishi = bar->addMenu(QStringLiteral("摇号计时(&P)"));
    m_mnJs[MnJsItem::Next] = m_mnJishi->addAction(QStringLiteral("下一个"), this,
                                                  [this] { MnJs_Click(MnJsItem::Next); });
    m_mnJs[MnJsItem::NextGroup] = m_mnJishi->addAction(QStringLiteral("下一组"), this,
                                                       [this] { MnJs_Click(MnJsItem::NextGroup); });
    m_mnJs[MnJsItem::StartTimer] = m_speechTimer->startAction();
    m_mnJs[MnJsItem::TimerSettings] = m_speechTimer->settingsAction();
    m_mnJishi->addAction(m_mnJs[MnJsItem::StartTimer]);
    m_mnJishi->addAction(m_mnJs[MnJsItem::TimerSettings]);
    m_mnJs[MnJsItem::TimerMode] = m_mnJishi->addMenu(m_speechTimer->modeMenu());
    m_mnJs[MnJsItem::TimerUnit] = m_mnJishi->addMenu(m_speechTimer->unitMenu());
    m_mnJs[MnJsItem::Next]->setShortcut(Qt::Key_F3);
    m_mnJs[MnJsItem::NextGroup]->setVisible(false);
    m_speechTimer->setPopupMenu(m_mnJishi);

    m_stage->setTopMenus({fangShi, names, format, m_mnJishi});

    m_grouped->attachItems(m_mnSx, m_mnFs[MnFsItem::Repeat], m_mnFs[MnFsItem::Rolling],
                           m_mnJs[MnJsItem::NextGroup], {m_mnZh.begin(), m_mnZh.end()}, true);
    m_stage->addWindowMenu();
    m_stage->addClickerKeys([this] { imgOk_MouseDown(); });
}

} // namespace zelvano
