// Builds the controls and menus of the prize draw window.
#include "prizedraw/FrmDjYh.h"

#include "presentation/DisplayFormat.h"
#include "presentation/parts/EventHook.h"
#include "presentation/parts/MouseHandlers.h"
#include "presentation/parts/ResultLabel.h"
#include "presentation/parts/StartPicture.h"
#include "shell/core/AppServices.h"
#include "shell/core/ModeCatalog.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/PictureButtons.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace zelvano
{

namespace
{

// Whether `font`, as the system resolves it, draws every Latin letter and
// space half as wide as a Chinese character.
bool halfWidthLatin(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal narrow = metrics.horizontalAdvance(QLatin1Char(' '));
    // Advances come in 1/64 pixel: a wide character may be that much more.
    const auto same = [](qreal a, qreal b) { return std::abs(a - b) < 0.05; };
    return narrow > 0 && same(metrics.horizontalAdvance(QLatin1Char('W')), narrow) &&
           same(metrics.horizontalAdvance(QLatin1Char('1')), narrow) &&
           same(metrics.horizontalAdvance(QChar(0x4E2D)), 2 * narrow) && // 中
           same(metrics.horizontalAdvance(QChar(0x3001)), 2 * narrow);   // 、
}

// The list views line their columns up with spaces, which needs a face
// whose Latin letters are half as wide as its Chinese ones. A name the
// system only substitutes ("宋体" resolved to a proportional face) fails the
// measure, and the next face is tried. An even pixel size keeps the half
// width whole.
QFont listFont(qreal points)
{
    const qreal dpi = QGuiApplication::primaryScreen()
                          ? QGuiApplication::primaryScreen()->logicalDotsPerInchY()
                          : 96.0;
    const int pixels = std::max(2, 2 * qRound(points * dpi / 72.0 / 2.0));
    for (const char* family : {"NSimSun", "新宋体", "SimSun", "宋体", "Noto Sans Mono CJK SC",
                               "Sarasa Mono SC", "WenQuanYi Zen Hei Mono"}) {
        QFont font;
        // Alone, so the panel's own list of faces is not merged in.
        font.setFamilies({QString::fromUtf8(family)});
        font.setPixelSize(pixels);
        if (halfWidthLatin(font))
            return font;
    }
    QFont font = songFont(points);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFont yaHeiFont(qreal points)
{
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSizeF(points);
    return font;
}

// The side panel at the design size; it grows and shrinks with the window.
constexpr QSize kSidePanel(290, 440);
constexpr QRect kChoiceList(10, 8, 270, 38);
constexpr QRect kWinnersList(10, 54, 270, 226);
constexpr QRect kStartButton(75, 290, 140, 140);
constexpr QRect kWriteButton(10, 386, 44, 44);
constexpr QRect kDrawButton(240, 390, 44, 44);
constexpr qreal kChoicePoints = 12;
constexpr qreal kWinnersPoints = 14;
constexpr qreal kChoiceMenuPoints = 12;

QRect scaled(const QRect& rect, double factor)
{
    return QRect(qRound(rect.x() * factor), qRound(rect.y() * factor),
                 qRound(rect.width() * factor), qRound(rect.height() * factor));
}

void placeButton(QToolButton* button, const QRect& rect)
{
    button->setGeometry(rect);
    button->setIconSize(rect.size());
}

QToolButton* glyphButton(const QString& glyph, const QColor& colour, const QString& tip,
                         QWidget* parent, QRect geometry)
{
    QToolButton* button = makePictureButton(glyphPicture(glyph, colour), tip, parent);
    button->setGeometry(geometry);
    return button;
}

} // namespace

void FrmDjYh::buildControls()
{
    // Only the display reacts to clicks: a press on the bare background or
    // on an open panel must not start a draw that writes an award.
    m_stage = new DrawStage(this, *this, m_services, DrawStageConfig::displayOnly(m_baseFontSize));
    m_canvas = m_stage->canvas();
    m_lblXm = m_stage->lblXm();
    m_lblXm2 = new QLabel(m_canvas);
    m_lblXm2->setObjectName(QStringLiteral("lblXm2"));
    makeResultLabel(m_lblXm2);
    m_lblXm2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblXm2->setFont(kaiFont(m_baseFontSize, true));
    m_imgJp = new QLabel(m_canvas);
    m_imgJp->setObjectName(QStringLiteral("imgJp"));
    m_imgJp->setAccessibleName(QStringLiteral("奖品图片"));
    m_imgJp->setScaledContents(true);
    m_imgJp->hide();
    for (QWidget* display : {static_cast<QWidget*>(m_lblXm), static_cast<QWidget*>(m_lblXm2),
                             static_cast<QWidget*>(m_imgJp)}) {
        MouseHandlers::attach(display, {}, [this](Qt::MouseButton button, QPoint at) {
            lblXm_MouseDown(button, at);
        });
    }

    m_fraLine = new QFrame(m_canvas);
    m_fraLine->setObjectName(QStringLiteral("FraLine"));
    m_fraLine->setFrameShape(QFrame::VLine);
    m_fraLine->setFrameShadow(QFrame::Sunken);
    m_fraLine->resize(3, 100);
    m_fraLine->hide();

    buildSidePanel();
    buildListPanel();
}

void FrmDjYh::buildSidePanel()
{
    m_fraTs = new QFrame(m_canvas);
    m_fraTs->setObjectName(QStringLiteral("fraTs"));
    m_fraTs->setAutoFillBackground(true);
    m_fraTs->resize(290, 440);
    m_fraTs2 = new QFrame(m_fraTs);
    m_fraTs2->setObjectName(QStringLiteral("FraTs2"));
    m_fraTs2->setAutoFillBackground(true);
    m_fraTs2->setGeometry(0, 0, 290, 440);

    m_cmbMd = new QComboBox(m_fraTs2);
    m_cmbMd->setObjectName(QStringLiteral("cmbMd"));
    m_cmbMd->setAccessibleName(QStringLiteral("选择"));
    m_cmbMd->setMaxVisibleItems(15);
    connect(m_cmbMd, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_draw.selectChoice(index); });

    m_lstHj = new QListWidget(m_fraTs2);
    m_lstHj->setObjectName(QStringLiteral("lstHj"));
    m_lstHj->setAccessibleName(QStringLiteral("获奖名单"));
    m_lstHj->setFrameShape(QFrame::NoFrame);
    // Long lines wrap instead of running under a scroll bar that would show
    // white on the coloured panel; the newest award is always on top, and
    // the wheel still reaches older ones.
    m_lstHj->setWordWrap(true);
    m_lstHj->setResizeMode(QListView::Adjust);
    m_lstHj->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_lstHj->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_lstHj->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_imgOk = new StartPicture(m_fraTs2, QStringLiteral("开始"), [this] { imgOk_MouseDown(); });
    m_imgOk->setObjectName(QStringLiteral("imgOk"));
    m_imgOk->hide();

    // Offered only while an award waits to be saved into the roll book.
    m_imgXie = glyphButton(QStringLiteral("写"), QColor(0x8b, 0x1a, 0x1a), QStringLiteral("写名单"),
                           m_fraTs2, kWriteButton);
    m_imgXie->setObjectName(QStringLiteral("imgXie"));
    m_imgXie->hide();
    connect(m_imgXie, &QToolButton::clicked, this, &FrmDjYh::imgXie_Click);

    m_imgDj = glyphButton(QStringLiteral("奖"), QColor(0xd2, 0x69, 0x1e), QStringLiteral("抽奖"),
                          m_fraTs, kDrawButton);
    m_imgDj->setObjectName(QStringLiteral("imgDj"));
    m_imgDj->hide();
    connect(m_imgDj, &QToolButton::clicked, this, &FrmDjYh::imgDj_Click);
    scaleSidePanel(1.0);
    // Shown once the lists are confirmed.
    m_fraTs->hide();
}

void FrmDjYh::fitWinnersList()
{
    // Only whole lines show: the list ends under the last one that fits.
    const QRect room = scaled(kWinnersList, m_sidePanelFactor);
    int height = 0;
    for (int row = 0; row < m_lstHj->count(); ++row) {
        const int next = height + m_lstHj->sizeHintForRow(row);
        if (next > room.height())
            break;
        height = next;
    }
    m_lstHj->setGeometry(room.x(), room.y(), room.width(),
                         m_lstHj->count() > 0 ? height : room.height());
}

void FrmDjYh::scaleSidePanel(double factor)
{
    m_fraTs->resize(qRound(kSidePanel.width() * factor), qRound(kSidePanel.height() * factor));
    m_fraTs2->setGeometry(QRect(QPoint(0, 0), m_fraTs->size()));
    m_cmbMd->setGeometry(scaled(kChoiceList, factor));
    m_cmbMd->setFont(yaHeiFont(kChoicePoints * factor));
    m_sidePanelFactor = factor;
    m_lstHj->setFont(songFont(kWinnersPoints * factor));
    fitWinnersList();
    placeButton(m_imgOk, scaled(kStartButton, factor));
    placeButton(m_imgXie, scaled(kWriteButton, factor));
    placeButton(m_imgDj, scaled(kDrawButton, factor));
    // The choice menus pop up over the display, read from as far away.
    if (m_mnDjMenu) {
        for (QMenu* menu : {m_mnDjMenu, m_mnMdMenu})
            menu->setFont(songFont(kChoiceMenuPoints * factor));
    }
}

void FrmDjYh::buildListPanel()
{
    m_fraJp = new QFrame(m_canvas);
    m_fraJp->setObjectName(QStringLiteral("fraJp"));
    m_fraJp->setFrameShape(QFrame::Box);
    m_fraJp->setAutoFillBackground(true);
    m_fraJp->setStyleSheet(
        QStringLiteral("QFrame#fraJp { background: #fffaf0; border: 2px solid #8b1a1a; }"));
    m_fraJp->resize(780, 560);
    m_fraJp->setFont(songFont(12));

    m_lblXx = new QLabel(QStringLiteral("请确认获奖信息"), m_fraJp);
    m_lblXx->setObjectName(QStringLiteral("lblXx"));
    m_lblXx->setFont(kaiFont(18, true));
    m_lblXx->setGeometry(20, 10, 500, 40);

    m_lblClose = new QToolButton(m_fraJp);
    m_lblClose->setObjectName(QStringLiteral("lblClose_0"));
    m_lblClose->setText(QStringLiteral("×"));
    m_lblClose->setAccessibleName(QStringLiteral("×"));
    m_lblClose->setAutoRaise(true);
    QFont heiTi = songFont(10.5);
    heiTi.setFamilies(
        {QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC")});
    m_lblClose->setFont(heiTi);
    m_lblClose->setGeometry(780 - 40, 6, 32, 32);
    connect(m_lblClose, &QToolButton::clicked, this, [this] { lblClose_Click(0); });

    // Both lists are 600 twips (40 px) narrower than the panel.
    m_lstJp = new QListWidget(m_fraJp);
    m_lstJp->setObjectName(QStringLiteral("lstJp"));
    m_lstJp->setAccessibleName(QStringLiteral("查看奖品"));
    m_lstJp->setFont(listFont(15));
    m_lstJp->setGeometry(20, 56, 780 - 40, 420);
    m_lstMd = new QListWidget(m_fraJp);
    m_lstMd->setObjectName(QStringLiteral("lstMd"));
    m_lstMd->setAccessibleName(QStringLiteral("获奖名单"));
    m_lstMd->setFont(listFont(14.25));
    m_lstMd->setGeometry(m_lstJp->geometry());
    m_lstMd->hide();

    m_chkMd = new QCheckBox(QStringLiteral("不要名单"), m_fraJp);
    m_chkMd->setObjectName(QStringLiteral("chkMd"));
    m_chkMd->setAccessibleName(QStringLiteral("不要名单"));
    m_chkMd->setGeometry(20, 496, 140, 36);
    connect(m_chkMd, &QCheckBox::clicked, this, &FrmDjYh::chkMd_Click);
    buildListButtons();
    m_fraJp->hide();
}

void FrmDjYh::buildListButtons()
{
    auto* imgCz = glyphButton(QStringLiteral("重"), QColor(0xcd, 0x5c, 0x5c),
                              QStringLiteral("重置"), m_fraJp, QRect(300, 490, 46, 46));
    connect(imgCz, &QToolButton::clicked, this, &FrmDjYh::imgCz_Click);
    auto* image1 = glyphButton(QStringLiteral("编"), QColor(0x46, 0x82, 0xb4),
                               QStringLiteral("编辑库信息"), m_fraJp, QRect(356, 490, 46, 46));
    connect(image1, &QToolButton::clicked, this, &FrmDjYh::Image1_Click);
    auto* refresh = glyphButton(QStringLiteral("刷"), QColor(0x2e, 0x8b, 0x57),
                                QStringLiteral("刷新"), m_fraJp, QRect(412, 490, 46, 46));
    connect(refresh, &QToolButton::clicked, this, &FrmDjYh::imgRefrash_Click);

    m_cmdOk = new QPushButton(QStringLiteral("确定"), m_fraJp);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk_0"));
    m_cmdOk->setAccessibleName(QStringLiteral("确定"));
    m_cmdOk->setGeometry(780 - 140, 494, 120, 40);
    // Outside a dialog a push button takes only Space; Enter on it should too.
    m_cmdOk->setAutoDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(0); });
}

void FrmDjYh::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setFont(songFont(12));

    QMenu* names = bar->addMenu(QStringLiteral("名单设置(&M)"));
    names->setObjectName(QStringLiteral("MnMingdanshezhi"));
    m_mnDjMenu = names->addMenu(QStringLiteral("获奖等级"));
    m_mnSz[MnSzItem::PrizeLevels] = m_mnDjMenu->menuAction();
    m_mnMdMenu = names->addMenu(QStringLiteral("选择名单"));
    m_mnSz[MnSzItem::NameLists] = m_mnMdMenu->menuAction();
    const struct {
        MnSzItem item;
        const char* caption;
        Qt::Key key;
    } items[] = {{MnSzItem::Draw, "摇奖", Qt::Key_F1},
                 {MnSzItem::PrizeList, "查看奖品", Qt::Key_F2},
                 {MnSzItem::WinnerList, "获奖名单", Qt::Key_F3},
                 {MnSzItem::RollBook, "点名册", Qt::Key_F4},
                 {MnSzItem::Refresh, "刷新", Qt::Key_F5},
                 {MnSzItem::Reset, "重置", Qt::Key_F6},
                 {MnSzItem::BackToMenu, "返回主页", Qt::Key_F12}};
    for (const auto& entry : items) {
        const MnSzItem item = entry.item;
        QAction* action = names->addAction(QString::fromUtf8(entry.caption), this,
                                           [this, item] { MnSz_Click(item); });
        action->setShortcut(QKeySequence(entry.key));
        m_mnSz[item] = action;
    }
    for (int i = 0; i < m_mnSz.size(); ++i)
        m_mnSz.at(i)->setObjectName(QStringLiteral("MnSz_%1").arg(i));
    // After the last item, so every item before keeps its place; the menus
    // of the right button are the prizes' and the names' alone.
    m_mnZf = names->addAction(QStringLiteral("作废重抽"), this, [this] { MnZf_Click(); });
    m_mnZf->setObjectName(QStringLiteral("MnZf"));
    m_mnZf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_mnZf->setEnabled(false);
    m_report = m_stage->addReport(modeCaption(m_mode), names);

    QMenu* format = m_displayFormat->MnGeShi();
    bar->addMenu(format);
    m_stage->setTopMenus({names, format});
    // 放大 and 缩小 size the display through the format; the size they give
    // is the one every later text starts from.
    for (const char* item : {"MnGs_0", "MnGs_1"}) {
        if (QAction* action = format->findChild<QAction*>(QLatin1String(item)))
            connect(action, &QAction::triggered, this, &FrmDjYh::takeDisplaySize);
    }
    m_stage->addWindowMenu();
    // The clicker draws only what the start button, when shown, would.
    m_stage->addClickerKeys(
        [this] {
            if (m_imgOk->isVisible())
                imgOk_MouseDown();
        },
        m_imgOk);
}

} // namespace zelvano
