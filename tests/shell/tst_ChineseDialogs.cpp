// The standard dialogs as the teacher meets them: with Qt's Chinese texts
// loaded as the program loads them, the buttons of every kind of message
// box and the colour dialog read Chinese, and the button a message names is
// there to click.
#include "shell/gui/QtColourPicker.h"
#include "shell/gui/QtMessageService.h"
#include "shell/gui/QtTranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace zelvano;

Q_DECLARE_METATYPE(zelvano::MessageButtons)
Q_DECLARE_METATYPE(zelvano::MessageAnswer)

namespace
{

// Runs `look` on the modal dialog once it is up, as the teacher would
// look at it and answer.
void whenShown(std::function<void(QWidget*)> look)
{
    QTimer::singleShot(0, qApp, [look] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        look(dialog);
    });
}

} // namespace

class tst_ChineseDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installQtChineseTexts()); }

    void messageButtons_readChinese_data()
    {
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("ok") << MessageButtons::Ok << QStringList{"确定"} << "确定"
                            << MessageAnswer::Ok;
        QTest::newRow("ok cancel") << MessageButtons::OkCancel << QStringList{"取消", "确定"}
                                   << "取消" << MessageAnswer::Cancel;
        QTest::newRow("yes no") << MessageButtons::YesNo << QStringList{"否", "是"} << "是"
                                << MessageAnswer::Yes;
        QTest::newRow("yes no cancel")
            << MessageButtons::YesNoCancel << QStringList{"取消", "否", "是"} << "否"
            << MessageAnswer::No;
        // The unsaved-changes box tells the teacher to click 重试 or 取消.
        QTest::newRow("retry cancel") << MessageButtons::RetryCancel << QStringList{"取消", "重试"}
                                      << "重试" << MessageAnswer::Retry;
    }

    void messageButtons_readChinese()
    {
        QFETCH(MessageButtons, buttons);
        QFETCH(QStringList, texts);
        QFETCH(QString, clicked);
        QStringList shown;
        whenShown([&](QWidget* box) {
            QAbstractButton* target = nullptr;
            for (QAbstractButton* button :
                 box->findChild<QDialogButtonBox*>()->findChildren<QAbstractButton*>()) {
                shown << button->text();
                if (button->text() == clicked)
                    target = button;
            }
            QVERIFY2(target, qPrintable(shown.join(u',')));
            QTest::mouseClick(target, Qt::LeftButton);
        });
        QtMessageService messages;
        const MessageAnswer answer =
            messages.show(QStringLiteral("请关闭占用它的程序后点“重试”"), QStringLiteral("错误"),
                          MessageIcon::Critical, buttons);
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, texts);
        QTEST(answer, "answer");
    }

    void colourDialog_readsChinese()
    {
        QString title;
        bool basicColours = false;
        whenShown([&](QWidget* dialog) {
            title = dialog->windowTitle();
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                basicColours = basicColours || label->text() == QStringLiteral("基本颜色(&B)");
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QtColourPicker colours;
        QCOMPARE(colours.pickColour(255), std::nullopt);
        QCOMPARE(title, QStringLiteral("选择颜色"));
        QVERIFY(basicColours);
    }
};

QTEST_MAIN(tst_ChineseDialogs)
#include "tst_ChineseDialogs.moc"
