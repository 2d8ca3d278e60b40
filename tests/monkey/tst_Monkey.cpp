// One monkey run per window, short: ctest runs each test function as its
// own test. ZELVANO_MONKEY_SEED replays a failed run, ZELVANO_MONKEY_ACTIONS
// makes it longer; bench/monkey_bench runs the long form.
#include "MonkeyRuns.h"

#include "Monkey.h"

#include <QTest>

#include <cstdio>

using namespace zelvano;
using namespace zelvano::testing;

class tst_Monkey : public QObject
{
    Q_OBJECT

private slots:
    void menu_data();
    void menu();
    void numberWindow_data();
    void numberWindow();
    void classroomWindow_data();
    void classroomWindow();
    void prizeWindow_data();
    void prizeWindow();

private:
    static MonkeyRun fetched(int actions);
    static void check(const MonkeyResult& result);
};

MonkeyRun tst_Monkey::fetched(int actions)
{
    QFETCH(int, mode);
    QFETCH(QString, book);
    MonkeyRun run;
    run.seed = monkeySeed();
    run.actions = monkeyActions(actions);
    run.mode = modeAt(mode);
    run.book = book;
    return run;
}

void tst_Monkey::check(const MonkeyResult& result)
{
    qInfo().noquote() << result.line();
    // Qt Test shortens long messages; the replay details go out whole.
    if (!result.ok)
        std::fprintf(stderr, "%s\n", qPrintable(result.failure));
    QVERIFY2(result.ok, qPrintable(result.failure.section(QLatin1Char('\n'), 0, 0)));
}

void tst_Monkey::menu_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("book");
    QTest::newRow("mode menu") << 0 << QString();
}

void tst_Monkey::menu()
{
    check(runMenuMonkey(fetched(3000)));
}

void tst_Monkey::numberWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("book");
    QTest::newRow("numbers") << 1 << QString();
    QTest::newRow("seats") << 2 << QString();
}

void tst_Monkey::numberWindow()
{
    check(runNumberMonkey(fetched(2500)));
}

void tst_Monkey::classroomWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("book");
    QTest::newRow("sample roll book") << 0 << sampleRollBook();
    QTest::newRow("LibreOffice roll book") << 0 << libreOfficeRollBook();
}

void tst_Monkey::classroomWindow()
{
    check(runClassroomMonkey(fetched(2500)));
}

void tst_Monkey::prizeWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("book");
    QTest::newRow("fixed person, sample") << 3 << sampleRollBook();
    QTest::newRow("fixed person, LibreOffice") << 3 << libreOfficeRollBook();
    QTest::newRow("fixed prize, sample") << 4 << sampleRollBook();
    QTest::newRow("fixed prize, LibreOffice") << 4 << libreOfficeRollBook();
}

void tst_Monkey::prizeWindow()
{
    check(runPrizeMonkey(fetched(1200)));
}

QTEST_MAIN(tst_Monkey)
#include "tst_Monkey.moc"
