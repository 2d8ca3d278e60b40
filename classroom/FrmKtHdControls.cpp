// Builds the controls and menus of the classroom window.
#include "classroom/FrmKtHd.h"

#include "classroom/logic/RollCallText.h"
#include "presentation/DisplayFormat.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/EventHook.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/AppServices.h"
#include "shell/core/ModeCatalog.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/PictureButtons.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
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

QFrame* FrmKtHd::makePanel(const QString& title, int closeIndex, QSize size)
{
    const SetupPanel panel = makeSetupPanel(m_canvas, title, closeIndex, size,
                                            [this, closeIndex] { lblClose_Click(closeIndex); });
    if (closeIndex == 1)
        m_lblFzBt = panel.heading;
    return panel.frame;
}

void FrmKtHd::buildControls()
{
    m_stage =
        new DrawStage(this, *this, m_services,
                      DrawStageConfig::withStartButton(QStringLiteral("下一个"), m_baseFontSize));
    std::tie(m_canvas, m_lblXm, m_fraTs) = m_stage->controls();

    buildClassPanel();
    buildGroupPanel();
    buildScorePanel();
    nameControls();
}

void FrmKtHd::nameControls()
{
    // Named as the controls are called, so a test finds them on the screen.
    const auto name = [](QWidget* control, const char* text) {
        control->setObjectName(QLatin1String(text));
    };
    name(m_lblFzBt, "lblFzBt");
    name(m_labXx, "LabXx");
    name(m_labCz, "LabCz");
    name(m_lblXx2, "lblXx2");
    name(m_cmbZh, "cmbZh");
    name(m_imgDf0, "imgDf0");
    for (int i = 0; i < 2; ++i) {
        m_command1.at(i)->setObjectName(QStringLiteral("Command1(%1)").arg(i));
        m_txtFz.at(i)->setObjectName(QStringLiteral("txtFz(%1)").arg(i));
        m_optFz.at(i)->setObjectName(QStringLiteral("OptFz(%1)").arg(i));
        m_imgFz.at(i)->setObjectName(QStringLiteral("imgFz(%1)").arg(i));
        m_imgXie.at(i)->setObjectName(QStringLiteral("imgXie(%1)").arg(i));
    }
}

void FrmKtHd::buildClassPanel()
{
    m_fraBj = makePanel(QStringLiteral("班级设置"), 3, QSize(460, 220));
    makeLabel(QStringLiteral("* 选择要点名的班级"), m_fraBj, 24, 60, 300);
    m_cmbBj = new QComboBox(m_fraBj);
    m_cmbBj->setObjectName(QStringLiteral("cmbBj"));
    m_cmbBj->setAccessibleName(QStringLiteral("班级"));
    m_cmbBj->setGeometry(24, 100, 260, 36);
    // Choosing in the list loads nothing until the guided setup has begun.
    connect(m_cmbBj, &QComboBox::activated, this, [this] { cmbBj_Click(); });
}

void FrmKtHd::buildGroupPanel()
{
    m_fraFz = makePanel(QStringLiteral("分组规则设置"), 1, QSize(700, 420));
    QFrame* p = m_fraFz;
    const GroupControls c = buildGroupControls(p, QStringLiteral("注意：修改数据后回车确认"),
                                               compositionEntries(), groupHandlersOf(this));
    m_optFz = c.OptFz;
    m_txtFz = c.txtFz;
    m_imgFz = c.imgFz;
    m_lblXx2 = c.lblXx2;
    m_list2 = c.List2;
    m_list1 = c.List1;
    m_labCz = c.LabCz;
    m_labXx = c.LabXx;
    m_cmbZh = c.cmbZh;
    GroupedDraw::Compositions compositions;
    compositions.entryCount = static_cast<int>(compositionEntries().size());
    compositions.fallback = 2;
    compositions.entryOfItem = compositionOfMenuItem;
    compositions.itemOfEntry = menuItemOfComposition;
    m_grouped = new GroupedDraw(
        m_session.draw(), *m_services.messages, [this] { showCall(); }, this);
    m_grouped->attachPanel(p, c, std::move(compositions));
    m_grouped->setNameItems([this](int i) { return MnXm(i); });
    m_imgXie[ImgXieItem::SaveGroups] = makeGlyphButton(
        QStringLiteral("存"), QColor(0x2e, 0x8b, 0x57), QStringLiteral("写分组"), p, 352, 62);
    m_imgOpen[ImgOpenItem::GroupPanel] = makeGlyphButton(
        QStringLiteral("册"), QColor(0x80, 0x60, 0x30), QStringLiteral("点名册"), p, 408, 62);
    connect(m_imgXie[ImgXieItem::SaveGroups], &QToolButton::clicked, this,
            [this] { imgXie_Click(ImgXieItem::SaveGroups); });
    connect(m_imgOpen[ImgOpenItem::GroupPanel], &QToolButton::clicked, this,
            [this] { ImgOpen_Click(ImgOpenItem::GroupPanel); });
}

void FrmKtHd::buildScorePanel()
{
    m_fraPf = makePanel(QStringLiteral("评分设置"), 0, QSize(600, 300));
    QFrame* p = m_fraPf;
    makeLabel(QStringLiteral("* 回答正确默认分值是多少？"), p, 24, 60, 400);
    makeLabel(QStringLiteral("* Excel中记录成绩是累计上一次的还是今天重新开始"), p, 24, 100, 560);
    makeLabel(QStringLiteral("记录位置"), p, 24, 210, 90, 34);
    m_cmbPfWz = new QComboBox(p);
    m_cmbPfWz->setObjectName(QStringLiteral("cmbPfWz"));
    m_cmbPfWz->setAccessibleName(QStringLiteral("记录位置"));
    m_cmbPfWz->addItems({QStringLiteral("今天"), QStringLiteral("前一次")});
    m_cmbPfWz->setGeometry(120, 210, 150, 34);
    connect(m_cmbPfWz, &QComboBox::activated, this, [this] { cmbPfWz_Click(); });
    buildScoreBar();
}

void FrmKtHd::buildScoreBar()
{
    // The scoring bar: shown inside the panel during setup, beside the next
    // button afterwards.
    m_fraPf2 = new QFrame(m_canvas);
    m_fraPf2->setObjectName(QStringLiteral("FraPf2"));
    m_fraPf2->setFont(songFont(12));
    auto* bar = new QHBoxLayout(m_fraPf2);
    bar->setContentsMargins(4, 4, 4, 4);
    // The bar is as wide as what it shows: the editor folds away.
    bar->setSizeConstraint(QLayout::SetFixedSize);
    auto* caption = new QLabel(QStringLiteral("打分"), m_fraPf2);
    caption->setObjectName(QStringLiteral("lblDf"));
    caption->setFont(kaiFont(16, true));
    bar->addWidget(caption);
    m_imgDf0 = makeGlyphButton(QStringLiteral("分"), QColor(0xb2, 0x22, 0x22),
                               QStringLiteral("分值"), m_fraPf2, 0, 0, 40);
    connect(m_imgDf0, &QToolButton::clicked, this, [this] { imgDf0_Click(); });
    bar->addWidget(m_imgDf0);
    bar->addWidget(buildScoreEditor());

    m_imgXie[ImgXieItem::WriteScore] =
        makeGlyphButton(QStringLiteral("写"), QColor(0x2e, 0x8b, 0x57), QStringLiteral("写成绩"),
                        m_fraPf2, 0, 0, 40);
    connect(m_imgXie[ImgXieItem::WriteScore], &QToolButton::clicked, this,
            [this] { imgXie_Click(ImgXieItem::WriteScore); });
    bar->addWidget(m_imgXie[ImgXieItem::WriteScore]);
    m_imgOpen[ImgOpenItem::ScoreBar] =
        makeGlyphButton(QStringLiteral("册"), QColor(0x80, 0x60, 0x30), QStringLiteral("点名册"),
                        m_fraPf2, 0, 0, 40);
    connect(m_imgOpen[ImgOpenItem::ScoreBar], &QToolButton::clicked, this,
            [this] { ImgOpen_Click(ImgOpenItem::ScoreBar); });
    bar->addWidget(m_imgOpen[ImgOpenItem::ScoreBar]);
    m_fraPf2->resize(bar->sizeHint());
    m_fraPf2->hide();
}

QFrame* FrmKtHd::buildScoreEditor()
{
    m_fraPf3 = new QFrame(m_fraPf2);
    m_fraPf3->setObjectName(QStringLiteral("FraPf3"));
    auto* editor = new QHBoxLayout(m_fraPf3);
    editor->setContentsMargins(0, 0, 0, 0);
    m_command1[Command1Item::Minus] = new QPushButton(QStringLiteral("-"), m_fraPf3);
    m_command1[Command1Item::Plus] = new QPushButton(QStringLiteral("+"), m_fraPf3);
    m_cmbFs0 = new QComboBox(m_fraPf3);
    m_cmbFs0->setObjectName(QStringLiteral("cmbFs0"));
    m_cmbFs0->setAccessibleName(QStringLiteral("分值"));
    m_cmbFs0->setEditable(true);
    m_cmbFs0->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                        QStringLiteral("5"), QStringLiteral("10")});
    m_cmbFs0->setEditText(QStringLiteral("5"));
    m_cmbFs0->setFixedWidth(80);
    // Ctrl+Z in the box is the window's "撤销上次成绩" while there is a score
    // to take back, not the box's own undo of its typing.
    for (QObject* box :
         {static_cast<QObject*>(m_cmbFs0), static_cast<QObject*>(m_cmbFs0->lineEdit())}) {
        EventHook::attach(box, QEvent::ShortcutOverride, [this](QEvent* event) {
            const auto* key = static_cast<QKeyEvent*>(event);
            return key->matches(QKeySequence::Undo) && m_mnCx && m_mnCx->isEnabled();
        });
    }
    for (int i : {1, 0}) {
        QPushButton* button = m_command1.at(i);
        button->setAccessibleName(button->text());
        button->setFixedSize(34, 34);
        connect(button, &QPushButton::clicked, this,
                [this, i] { m_speechTimer->Command1_Click(i); });
    }
    editor->addWidget(m_command1[Command1Item::Minus]);
    editor->addWidget(m_cmbFs0);
    editor->addWidget(m_command1[Command1Item::Plus]);
    return m_fraPf3;
}

void FrmKtHd::buildMenus()
{
    QMenuBar* menuBar = this->menuBar();
    menuBar->setFont(songFont(12));
    QMenu* names = buildNamesMenu(menuBar);
    QMenu* fangShi = buildDrawMenu(menuBar);
    QMenu* format = m_displayFormat->MnGeShi();
    menuBar->addMenu(format);
    buildTimingMenu(menuBar);
    m_report = m_stage->addReport(modeCaption(Mode::Classroom), names);
    m_mnTj = names->addAction(QStringLiteral("点名统计"), this, [this] { MnTj_Click(); });
    m_mnTj->setObjectName(QStringLiteral("MnTj"));
    QAction* newClass =
        names->addAction(QStringLiteral("新建班级…"), this, [this] { MnXjBj_Click(); });
    newClass->setObjectName(QStringLiteral("MnXjBj"));
    m_stage->setTopMenus({names, fangShi, format, m_mnJishi});
    attachDrawItems();
    QMenu* windows = m_stage->addWindowMenu();
    QAction* mini =
        windows->addAction(QStringLiteral("迷你窗口"), this, [this] { MnMini_Click(); });
    mini->setObjectName(QStringLiteral("MnMini"));
    m_stage->addClickerKeys([this] { imgOk_MouseDown(); });
}

void FrmKtHd::attachDrawItems()
{
    // 重复 leaves the pool as it is: what was called stays out of this cycle.
    m_grouped->attachItems(m_mnSx, m_mnFs[MnFsItem::Repeat], m_mnFs[MnFsItem::Rolling],
                           m_mnJs[MnJsItem::NextGroup], {m_mnZh.begin(), m_mnZh.end()}, false);
}

QMenu* FrmKtHd::buildNamesMenu(QMenuBar* menuBar)
{
    QMenu* names = menuBar->addMenu(QStringLiteral("名单设置(&M)"));
    m_mnBjMenu = names->addMenu(QStringLiteral("选择班级(&B)"));
    m_mnMd[MnMdItem::Class] = m_mnBjMenu->menuAction();
    m_mnMd[MnMdItem::GroupRules] = names->addAction(QStringLiteral("分组规则(&F)"), this,
                                                    [this] { MnMd_Click(MnMdItem::GroupRules); });
    m_mnMd[MnMdItem::GroupRules]->setShortcut(Qt::Key_F1);
    m_mnMd[MnMdItem::GroupRules]->setCheckable(true);
    m_mnXmMenu = names->addMenu(QStringLiteral("选择姓名(&X)"));
    m_mnMd[MnMdItem::Name] = m_mnXmMenu->menuAction();
    m_mnMd[MnMdItem::RollBook] = names->addAction(QStringLiteral("点名册"), this,
                                                  [this] { MnMd_Click(MnMdItem::RollBook); });
    m_mnMd[MnMdItem::RollBook]->setShortcut(Qt::Key_F2);
    m_mnMd[MnMdItem::Refresh] =
        names->addAction(QStringLiteral("刷新"), this, [this] { MnMd_Click(MnMdItem::Refresh); });
    m_mnMd[MnMdItem::Refresh]->setShortcut(Qt::Key_F5);
    m_mnMd[MnMdItem::Reset] =
        names->addAction(QStringLiteral("重置"), this, [this] { MnMd_Click(MnMdItem::Reset); });
    m_mnMd[MnMdItem::Reset]->setShortcut(Qt::Key_F6);
    m_mnMd[MnMdItem::BackToMenu] = names->addAction(QStringLiteral("返回主页(&F)"), this,
                                                    [this] { MnMd_Click(MnMdItem::BackToMenu); });
    m_mnMd[MnMdItem::BackToMenu]->setShortcut(Qt::Key_F12);
    return names;
}

QMenu* FrmKtHd::buildDrawMenu(QMenuBar* menuBar)
{
    QMenu* fangShi = menuBar->addMenu(QStringLiteral("摇号方式(&D)"));
    QMenu* order = fangShi->addMenu(QStringLiteral("顺序"));
    m_mnFs[MnFsItem::Order] = order->menuAction();
    for (const DrawOrder choice : {DrawOrder::Random, DrawOrder::Sequential}) {
        const int code = drawOrderCode(choice);
        m_mnSx[choice] = order->addAction(choice == DrawOrder::Random ? QStringLiteral("随机")
                                                                      : QStringLiteral("顺序"),
                                          this, [this, code] { MnSx_Click(code); });
    }
    m_mnSx[DrawOrder::Random]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_mnSx[DrawOrder::Sequential]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    order->addSeparator();
    m_mnJh = order->addAction(QStringLiteral("均衡点名"), this, [this] { MnJh_Click(); });
    m_mnJh->setObjectName(QStringLiteral("MnJh"));
    m_mnJh->setCheckable(true);
    m_mnFs[MnFsItem::Repeat] =
        fangShi->addAction(QStringLiteral("重复"), this, [this] { MnFs_Click(MnFsItem::Repeat); });
    m_mnFs[MnFsItem::Repeat]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_mnFs[MnFsItem::Rolling] =
        fangShi->addAction(QStringLiteral("滚动"), this, [this] { MnFs_Click(MnFsItem::Rolling); });
    m_mnFs[MnFsItem::Rolling]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_mnFs[MnFsItem::Repeat]->setCheckable(true);
    m_mnFs[MnFsItem::Rolling]->setCheckable(true);
    m_mnFs[MnFsItem::Rolling]->setChecked(true);
    QMenu* composition = fangShi->addMenu(QStringLiteral("组合方式(&G)"));
    m_mnFs[MnFsItem::Composition] = composition->menuAction();
    const QStringList captions = compositionMenuCaptions();
    for (int i = 0; i < captions.size(); ++i) {
        m_mnZh[static_cast<size_t>(i)] =
            composition->addAction(captions[i], this, [this, i] { MnZh_Click(i); });
    }
    return fangShi;
}

void FrmKtHd::buildTimingMenu(QMenuBar* menuBar)
{
    m_mnJishi = menuBar->addMenu(QStringLiteral("摇号计时(&P)"));
    m_mnJs[MnJsItem::Next] = m_mnJishi->addAction(QStringLiteral("下一个"), this,
                                                  [this] { MnJs_Click(MnJsItem::Next); });
    m_mnJs[MnJsItem::Next]->setShortcut(Qt::Key_F3);
    m_mnJs[MnJsItem::NextGroup] = m_mnJishi->addAction(QStringLiteral("下一组"), this,
                                                       [this] { MnJs_Click(MnJsItem::NextGroup); });
    m_mnJs[MnJsItem::NextGroup]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    m_mnJs[MnJsItem::WriteScore] = m_mnJishi->addAction(
        QStringLiteral("写入分数"), this, [this] { MnJs_Click(MnJsItem::WriteScore); });
    m_mnJs[MnJsItem::WriteScore]->setShortcut(Qt::Key_F4);
    m_mnJs[MnJsItem::WriteScore]->setVisible(false);
    m_mnJs[MnJsItem::StartTimer] = m_speechTimer->startAction();
    m_mnJishi->addAction(m_mnJs[MnJsItem::StartTimer]);
    m_mnJs[MnJsItem::ScoreSettings] = m_mnJishi->addAction(
        QStringLiteral("评分设置"), this, [this] { MnJs_Click(MnJsItem::ScoreSettings); });
    m_mnJs[MnJsItem::ScoreSettings]->setShortcut(Qt::Key_F8);
    m_mnJs[MnJsItem::TimerSettings] = m_speechTimer->settingsAction();
    m_mnJishi->addAction(m_mnJs[MnJsItem::TimerSettings]);
    m_mnJs[MnJsItem::TimerMode] = m_mnJishi->addMenu(m_speechTimer->modeMenu());
    m_mnJs[MnJsItem::TimerUnit] = m_mnJishi->addMenu(m_speechTimer->unitMenu());
    // After the last item, so every item before keeps its place.
    m_mnCx = m_mnJishi->addAction(QStringLiteral("撤销上次成绩"), this, [this] { MnCx_Click(); });
    m_mnCx->setObjectName(QStringLiteral("MnCx"));
    m_mnCx->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_mnCx->setEnabled(false);
    m_speechTimer->setPopupMenu(m_mnJishi);
}

} // namespace zelvano
