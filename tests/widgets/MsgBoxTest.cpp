#include "widgets/MsgBox.h"
#include "widgets/SvgButton.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Runs action on the message box once it is up and modal.
void whenShown(std::function<void(MsgBox*)> action)
{
    QTimer::singleShot(0, [action] {
        auto* box = qobject_cast<MsgBox*>(QApplication::activeModalWidget());
        if (!box) {
            QFAIL("no message box is up");
            return;
        }
        action(box);
    });
}

QAbstractButton* buttonWithText(MsgBox* box, const QString& text)
{
    for (QAbstractButton* b : box->findChild<QDialogButtonBox*>()->buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

}  // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT

private slots:
    void questionReportsTheChosenButton_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("expected");
        QTest::newRow("Yes") << "Yes" << int(QMessageBox::Yes);
        QTest::newRow("No") << "No" << int(QMessageBox::No);
        QTest::newRow("title bar close button") << "close" << int(QMessageBox::NoButton);
        QTest::newRow("Escape") << "escape" << int(QMessageBox::NoButton);
    }

    void questionReportsTheChosenButton()
    {
        QFETCH(QString, press);
        QFETCH(int, expected);
        whenShown([press](MsgBox* box) {
            if (press == "close")
                QTest::mouseClick(box->findChild<SvgButton*>("closeButton"), Qt::LeftButton);
            else if (press == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(buttonWithText(box, press), Qt::LeftButton);
        });
        const int result = MsgBox::question(nullptr, "Tips", "Whether it is necessary to exit the software?",
                                            QMessageBox::Yes | QMessageBox::No, 0);
        QCOMPARE(result, expected);
    }

    void buttonsFollowTheTableOrderWithTheirLook()
    {
        MsgBox box(nullptr, "t", "x", QMessageBox::No | QMessageBox::Yes | QMessageBox::Cancel | QMessageBox::Ok,
                   0);
        auto* buttonBox = box.findChild<QDialogButtonBox*>();
        QStringList texts;
        const QList<QAbstractButton*> buttons = buttonBox->buttons();
        for (QAbstractButton* b : buttons) {
            texts << b->text();
            QCOMPARE(b->size(), QSize(90, 32));
            QVERIFY(qobject_cast<SvgButton*>(b));
        }
        QCOMPARE(texts.size(), 4);
        QCOMPARE(buttonBox->buttonRole(buttonWithText(&box, "Ok")), QDialogButtonBox::AcceptRole);
        QCOMPARE(buttonBox->buttonRole(buttonWithText(&box, "Cancel")), QDialogButtonBox::RejectRole);
        QCOMPARE(buttonBox->buttonRole(buttonWithText(&box, "Yes")), QDialogButtonBox::YesRole);
        QCOMPARE(buttonBox->buttonRole(buttonWithText(&box, "No")), QDialogButtonBox::NoRole);
        QVERIFY(buttonWithText(&box, "Yes")->styleSheet().contains("#FFFFFF"));
        QVERIFY(buttonWithText(&box, "No")->styleSheet().contains("#000000"));

        MsgBox yesOnly(nullptr, "t", "x", QMessageBox::Yes, 0);
        QCOMPARE(yesOnly.findChild<QDialogButtonBox*>()->buttons().size(), 1);
    }

    void everyPictureItNamesExists()
    {
        for (const char* stem : {"btn_blue_90x32", "btn_white_90x32", "btn_close"})
            for (const char* state : {"normal", "hover", "pressed", "disabled"})
                QVERIFY2(QFile::exists(QString(":/main/resource/messagebox/%1_%2.svg").arg(stem, state)), stem);
        QVERIFY(QFile::exists(":/main/resource/messagebox/msgbox_questionblue_48.svg"));
        QVERIFY(QFile::exists(":/main/resource/messagebox/msgbox_informationblue_48.svg"));
        QCOMPARE(QPixmap(":/main/resource/logo16.png").size(), QSize(16, 16));
        QCOMPARE(QPixmap(":/main/resource/logo24.png").size(), QSize(24, 24));
    }

    void informationDefaultsToOkAndEnterChoosesIt()
    {
        whenShown([](MsgBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        QCOMPARE(MsgBox::information(nullptr, "Tips", "Saved.", QMessageBox::Ok), int(QMessageBox::Ok));

        // With Yes as the default, Enter answers Yes; with no default it picks nothing harmful.
        whenShown([](MsgBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        QCOMPARE(MsgBox::question(nullptr, "Tips", "?", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes),
                 int(QMessageBox::Yes));
        whenShown([](MsgBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        QCOMPARE(MsgBox::question(nullptr, "Tips", "?", QMessageBox::Yes | QMessageBox::No, QMessageBox::No),
                 int(QMessageBox::No));
    }

    void showsTitleTextIconAndOpensLinks()
    {
        MsgBox box(nullptr, "Tips", "See <a href=\"https://example.org\">the site</a>", QMessageBox::Ok, 0);
        box.setIconSvg(":/main/resource/messagebox/msgbox_questionblue_48.svg");
        auto* text = box.findChild<QLabel*>("messageTextLabel");
        QVERIFY(text);
        QVERIFY(text->openExternalLinks());
        QVERIFY(text->text().contains("example.org"));
        QCOMPARE(box.windowTitle(), QString("Tips"));
        QCOMPARE(box.findChild<QLabel*>("titleLabel")->text(), QString("Tips"));
        const QList<QLabel*> labels = box.findChildren<QLabel*>();
        const bool hasIcon = std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
            return l->size() == QSize(48, 48) && !l->pixmap(Qt::ReturnByValue).isNull()
                   && l->pixmap(Qt::ReturnByValue).toImage().pixelColor(24, 24).alpha() == 255;
        });
        QVERIFY(hasIcon);
    }

    void dragsByTheTitleBarOnly()
    {
        MsgBox box(nullptr, "Tips", "text", QMessageBox::Yes | QMessageBox::No, 0);
        box.move(100, 100);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* titleBar = box.findChild<QWidget*>("titleBar");
        const QPoint start = box.pos();

        // A press on the title bar's empty part and a move drag the box along.
        const QPoint grip(titleBar->width() / 2, titleBar->height() / 2);
        QVERIFY(box.childAt(titleBar->mapTo(&box, grip)) == titleBar);
        QTest::mousePress(titleBar, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, titleBar->mapTo(&box, grip) + QPoint(30, 20),
                         titleBar->mapToGlobal(grip) + QPoint(30, 20), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&box, &move);
        QTest::mouseRelease(titleBar, Qt::LeftButton, {}, grip + QPoint(30, 20));
        QCOMPARE(box.pos(), start + QPoint(30, 20));

        // A press in the client area does not.
        auto* text = box.findChild<QLabel*>("messageTextLabel");
        const QPoint before = box.pos();
        QTest::mousePress(text, Qt::LeftButton, {}, QPoint(2, 2));
        QMouseEvent move2(QEvent::MouseMove, text->mapTo(&box, QPoint(40, 40)), text->mapToGlobal(QPoint(40, 40)),
                          Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&box, &move2);
        QTest::mouseRelease(text, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(box.pos(), before);
    }
};

QTEST_MAIN(MsgBoxTest)
#include "MsgBoxTest.moc"
