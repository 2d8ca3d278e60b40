// The timer and the format as a window shows them on a projector: placed the
// way the number window places them, grabbed to pictures a person looks at,
// and checked for controls lying over one another.

#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/gui/Fonts.h"

#include "Fakes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

QRect inHost(const QWidget* widget, const QWidget* host)
{
    return QRect(widget->mapTo(host, QPoint(0, 0)), widget->size());
}

QString shotPath(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

} // namespace

class tst_PresentationLook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setupPanel_barFitsFreeRowOfPanel_data();
    void setupPanel_barFitsFreeRowOfPanel();
    void readyToDraw_bigLabelTimeAndBar_data();
    void readyToDraw_bigLabelTimeAndBar();
    void timerBar_controlsDoNotOverlap();

private:
    void build(QSize size);

    std::unique_ptr<QWidget> host;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<RecordingSound> sound;
    std::unique_ptr<ScriptedColours> colours;
    AppServices services;
    QLabel* lblXm = nullptr;
    QFrame* fraTs = nullptr;
    SpeechTimer* timer = nullptr;
    DisplayFormat* format = nullptr;
};

void tst_PresentationLook::init()
{
    clock = std::make_unique<FakeClock>();
    sound = std::make_unique<RecordingSound>();
    colours = std::make_unique<ScriptedColours>();
    services = AppServices{};
    services.clock = clock.get();
    services.sound = sound.get();
    services.colours = colours.get();
}

void tst_PresentationLook::cleanup()
{
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
    host.reset();
}

void tst_PresentationLook::build(QSize size)
{
    host = std::make_unique<QWidget>();
    host->resize(size);
    lblXm = new QLabel(host.get());
    lblXm->setFont(kaiFont(100, true));
    lblXm->setAlignment(Qt::AlignCenter);
    fraTs = new QFrame(host.get());
    fraTs->setFrameShape(QFrame::StyledPanel);
    fraTs->resize(120, 120);
    auto* imgOk = new QPushButton(QStringLiteral("摇号"), fraTs);
    imgOk->setFont(kaiFont(20, true));
    imgOk->setGeometry(10, 30, 100, 60);
    timer = new SpeechTimer(services, SpeechTimerConfig::numberDraw(), host.get());
    DisplayTargets targets;
    targets.background = host.get();
    targets.lblXm = lblXm;
    targets.lblSj = timer->lblSj();
    targets.fraTs = fraTs;
    format = new DisplayFormat(services, DisplayFormatConfig::numberDraw(), targets, host.get());
    format->loadColourSetting(QStringLiteral("0"));
    host->show();
}

void tst_PresentationLook::setupPanel_barFitsFreeRowOfPanel_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

void tst_PresentationLook::setupPanel_barFitsFreeRowOfPanel()
{
    QFETCH(QSize, size);
    build(size);
    // The number window's set-up step for the timer: the panel centred under
    // its prompt, the bar laid over the panel's free row.
    lblXm->setFont(kaiFont(32, true));
    lblXm->setText(QStringLiteral("请设置计时和评分细则"));
    lblXm->adjustSize();
    lblXm->move((size.width() - lblXm->width()) / 2, lblXm->height());
    QFrame* panel = timer->fraJs();
    panel->move((size.width() - panel->width()) / 2, lblXm->y() + 2 * lblXm->height());
    QFrame* bar = timer->fraJs2();
    bar->move(timer->lblFangshi()->x() + panel->x(), timer->cmdOk2()->y() + panel->y());
    bar->show();
    panel->show();
    bar->raise();

    const QRect barRect = inHost(bar, host.get());
    QVERIFY(inHost(panel, host.get()).contains(barRect));
    for (QWidget* child : panel->findChildren<QWidget*>()) {
        if (child->parentWidget() != panel || child->isHidden())
            continue;
        if (child == timer->lblFangshi())
            continue;
        QVERIFY2(!barRect.intersects(inHost(child, host.get())), qPrintable(child->objectName()));
    }
    QVERIFY(host->rect().contains(inHost(panel, host.get())));

    const QString path =
        shotPath(QStringLiteral("timer_setup_%1x%2.png").arg(size.width()).arg(size.height()));
    QVERIFY(host->grab().save(path));
}

void tst_PresentationLook::readyToDraw_bigLabelTimeAndBar_data()
{
    setupPanel_barFitsFreeRowOfPanel_data();
}

void tst_PresentationLook::readyToDraw_bigLabelTimeAndBar()
{
    QFETCH(QSize, size);
    build(size);
    const int w = size.width();
    const int h = size.height();
    // The number window's layout at this size.
    const double scale = std::max(1280.0 / w, 800.0 / h);
    QFont big = lblXm->font();
    big.setPointSize(int(100 / (1.2 * scale)));
    lblXm->setFont(big);
    lblXm->setText(QStringLiteral("3行4列"));
    lblXm->adjustSize();
    lblXm->move((w - lblXm->width()) / 2, (h - lblXm->height()) / 4);
    QLabel* time = timer->lblSj();
    QFont clockFont = time->font();
    clockFont.setPointSize(int(62 / (1.2 * scale)));
    time->setFont(clockFont);
    time->adjustSize();
    time->move((w - time->width()) / 2, 0);
    format->MnGs_Click(3); // puts the clock one display height under the result
    fraTs->move(int(0.98 * (w - fraTs->width())), int(0.91 * (h - fraTs->height())));
    timer->rearmAfterDraw();
    timer->imgJs0_Click(); // unfold the bar
    QFrame* bar = timer->fraJs2();
    bar->move(fraTs->x() - bar->width() - 10, fraTs->y() + fraTs->height() - bar->height());

    timer->cmbFs1()->setEditText(QStringLiteral("3"));
    timer->selectUnit(1);
    timer->imgJs_Click();
    clock->nowMs += 61'000;
    timer->timJs_Timer();
    QCOMPARE(time->text(), QStringLiteral("00:01:59"));

    const QRect result = inHost(lblXm, host.get());
    const QRect clockRect = inHost(time, host.get());
    const QRect barRect = inHost(bar, host.get());
    QVERIFY(!result.intersects(clockRect));
    QVERIFY(!clockRect.intersects(barRect));
    QVERIFY(!barRect.intersects(inHost(fraTs, host.get())));
    QVERIFY(host->rect().contains(clockRect));
    QVERIFY(host->rect().contains(barRect));
    // The window's colour stays out of the text boxes of the bar.
    QCOMPARE(timer->cmbFs1()->palette().color(QPalette::Base), QColor(Qt::white));

    const QString path =
        shotPath(QStringLiteral("timer_ready_%1x%2.png").arg(size.width()).arg(size.height()));
    QVERIFY(host->grab().save(path));
}

void tst_PresentationLook::timerBar_controlsDoNotOverlap()
{
    build(QSize(1280, 800));
    timer->rearmAfterDraw();
    timer->imgJs0_Click();
    QFrame* panel = timer->fraJs3();
    QList<QWidget*> controls;
    for (QWidget* child : panel->findChildren<QWidget*>())
        if (child->parentWidget() == panel && child->isVisibleTo(panel))
            controls << child;
    QCOMPARE(controls.size(), 6);
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY(panel->rect().contains(controls[i]->geometry()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
    }
}

QTEST_MAIN(tst_PresentationLook)
#include "tst_PresentationLook.moc"
