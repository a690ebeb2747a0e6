// The canvas's two context menus: their entries, look and shortcut, choosing
// entries through the real popups, and each entry running its own handler only.
#include "output_fixture.h"

#include "canvas/GraphType.h"
#include "canvas/PrintGrapWindow.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QMimeData>
#include <QtTest>

namespace {
struct Entry {
    const char* text;
    const char* icon;
};

// The main menu top to bottom; an empty text is a separator.
const Entry mainEntries[] = {
    {"    Exit(&7)", "exit1.png"},
    {"", nullptr},
    {"   Pen size", nullptr},
    {"   Pen color", nullptr},
    {"", nullptr},
    {"   Pen", "pen1.png"},
    {"   Highlighter", "highlighter1.png"},
    {"   Erase", "eraser1.png"},
    {"   Line", "line1.png"},
    {"   Line arrow", "arrow1.png"},
    {"   Rectangle", "rect1.png"},
    {"   Solid rectangle", "brushRect1.png"},
    {"   Ellipse", "ellipse1.png"},
    {"   Solid ellipse", "brushEllips1.png"},
    {"   Text", "text1.png"},
    {"   Tick", "right_p1.png"},
    {"   Cross", "wrong1.png"},
    {"   Mark pen", "markpen1.png"},
    {"   Select area", "selectedArce1.png"},
    {"", nullptr},
    {"   Zoom in", "zoomin1.png"},
    {"   Zoom out", "zoomout1.png"},
    {"   Original scale", "selectedArce1.png"},
    {"", nullptr},
    {"   Undo", "undo1.png"},
    {"   Redo", "redo1.png"},
    {"   Print", "print1.png"},
    {"   Copy to Clipboard", "copyboard1.png"},
};

QMenu* submenu(Screenview* view, const char* title)
{
    QAction* action = actionNamed(view->mainContextMenu(), QString::fromLatin1(title));
    return action ? action->menu() : nullptr;
}

// Opens the main menu with a right press and clicks `entry`, inside the
// submenu `sub` when one is given, all through the real popups.
void choose(Board& board, const QString& entry, const QString& sub = QString())
{
    bool clicked = false;
    board.rightPress(QPoint(400, 300), [&](QMenu* menu) {
        QCOMPARE(menu, board.view->mainContextMenu());
        QMenu* target = menu;
        if (!sub.isEmpty()) {
            QAction* title = actionNamed(menu, sub);
            QVERIFY(title && title->menu());
            clickAction(menu, title);
            QTRY_VERIFY(title->menu()->isVisible());
            target = title->menu();
        }
        QAction* action = actionNamed(target, entry);
        QVERIFY2(action, qPrintable(entry));
        clicked = true;
        clickAction(target, action);
    });
    QVERIFY(clicked);
}

QString sentinel() { return QStringLiteral("clipboard untouched"); }

// Waits for the next modal window (opened later, from inside a popup) and
// hands it to `answer`.
void answerNextModal(QObject* owner, std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}
}

class MenusTest : public QObject
{
    Q_OBJECT

private slots:
    void mainMenuHasItsEntriesLookAndShortcut()
    {
        Board board;
        QMenu* menu = board.view->mainContextMenu();
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), int(sizeof(mainEntries) / sizeof(*mainEntries)));
        for (int i = 0; i < actions.size(); ++i) {
            const Entry& e = mainEntries[i];
            QCOMPARE(actions[i]->isSeparator(), *e.text == 0);
            QCOMPARE(actions[i]->text(), QString::fromLatin1(e.text));
            QVERIFY(!actions[i]->isCheckable());
            if (e.icon) {
                const QString path = QStringLiteral(":/main/resource/") + QString::fromLatin1(e.icon);
                QVERIFY2(QFile::exists(path), qPrintable(path));
                QVERIFY(!actions[i]->icon().isNull());
            }
        }
        QCOMPARE(actions[0]->shortcut(), QKeySequence(Qt::ALT + Qt::Key_S));

        QFile qss(QStringLiteral(":/qss/resource/qss/popMenu.qss"));
        QVERIFY(qss.open(QIODevice::ReadOnly));
        const QString style = QString::fromLatin1(qss.readAll());
        QVERIFY(!style.isEmpty());
        QCOMPARE(menu->minimumWidth(), 280);
        QCOMPARE(menu->property("class").toString(), QStringLiteral("mainPopMenu"));
        QVERIFY(menu->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(menu->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(menu->styleSheet(), style);
        QCOMPARE(menu->parentWidget(), board.view.get());

        const char* sizes[] = {"Pen size 1", "Pen size 2", "Pen size 3", "Pen size 4"};
        const char* colors[] = {"Transparent red", "Transparent yellow", "Transparent green", "Transparent blue", "",
                                "Red", "Yellow", "Green", "Blue", "Black", "White"};
        const QPair<QMenu*, QStringList> subs[] = {
            {submenu(board.view.get(), "   Pen size"), QStringList(std::begin(sizes), std::end(sizes))},
            {submenu(board.view.get(), "   Pen color"), QStringList(std::begin(colors), std::end(colors))},
        };
        for (const auto& sub : subs) {
            QVERIFY(sub.first);
            QCOMPARE(sub.first->parentWidget(), board.view.get());
            QCOMPARE(sub.first->property("class").toString(), QStringLiteral("subPopMenu"));
            QVERIFY(sub.first->windowFlags() & Qt::FramelessWindowHint);
            QVERIFY(sub.first->testAttribute(Qt::WA_TranslucentBackground));
            QCOMPARE(sub.first->styleSheet(), style);
            QStringList texts;
            for (QAction* a : sub.first->actions())
                texts << a->text();
            QCOMPARE(texts, sub.second);
        }
    }

    void selectionMenuIsPlainWithCopyAndSave()
    {
        Board board;
        QMenu* menu = board.view->selectionContextMenu();
        QCOMPARE(menu->parentWidget(), board.view.get());
        QVERIFY(!menu->property("class").isValid());
        QVERIFY(menu->styleSheet().isEmpty());
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral("   Copy"));
        QCOMPARE(actions[1]->text(), QStringLiteral("   Save image"));
        QVERIFY(QFile::exists(QStringLiteral(":/main/resource/copy1.png")));
        QVERIFY(QFile::exists(QStringLiteral(":/main/resource/save1.png")));
        QVERIFY(!actions[0]->icon().isNull() && !actions[1]->icon().isNull());
    }

    void transparentRedFromTheMenuDrawsWithAlpha145()
    {
        Board board;
        choose(board, QStringLiteral("Transparent red"), QStringLiteral("   Pen color"));
        choose(board, QStringLiteral("Pen size 4"), QStringLiteral("   Pen size"));
        choose(board, QStringLiteral("   Pen"));
        board.drag(QPoint(100, 100), QPoint(200, 100));
        GraphActioner* translucent = board.history().current();
        QCOMPARE(translucent->property("a"), QStringLiteral("145"));
        QCOMPARE(translucent->property("r"), QStringLiteral("255"));
        QCOMPARE(translucent->propertyInt("size"), 4);
        // The stroke blends with the board underneath.
        // In the middle of one piece of the curve, away from the joints,
        // where round ends overlap.
        const QPoint mid(qRound(133 * Board::ratio()), qRound(100 * Board::ratio()));
        const QColor under(PatternCapture::patternAt(mid.x(), mid.y()));
        const QColor drawn = board.image().pixelColor(mid);
        QVERIFY(drawn != QColor(255, 0, 0));
        QVERIFY(qAbs(drawn.green() - under.green() * 110 / 255) <= 2);

        choose(board, QStringLiteral("Red"), QStringLiteral("   Pen color"));
        board.drag(QPoint(100, 200), QPoint(200, 200));
        QCOMPARE(board.history().current()->property("a"), QStringLiteral("255"));
        QCOMPARE(translucent->property("a"), QStringLiteral("145"));
    }

    void toolEntriesChooseTheirTool_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("tool");
        QTest::newRow("pen") << "   Pen" << int(Pen);
        QTest::newRow("erase") << "   Erase" << int(Erase);
        QTest::newRow("line") << "   Line" << int(Line);
        QTest::newRow("arrow") << "   Line arrow" << int(LineArrow);
        QTest::newRow("rect") << "   Rectangle" << int(Rect);
        QTest::newRow("solid rect") << "   Solid rectangle" << int(BrushRect);
        QTest::newRow("ellipse") << "   Ellipse" << int(Ellipse);
        QTest::newRow("solid ellipse") << "   Solid ellipse" << int(BrushEllipse);
        QTest::newRow("text") << "   Text" << int(Text);
        QTest::newRow("tick") << "   Tick" << int(RightSymbols);
        QTest::newRow("cross") << "   Cross" << int(WrongSymbols);
        QTest::newRow("mark pen") << "   Mark pen" << int(MarkingPen);
        QTest::newRow("select area") << "   Select area" << int(SelectArea);
    }

    void toolEntriesChooseTheirTool()
    {
        QFETCH(QString, entry);
        QFETCH(int, tool);
        Board board;
        board.view->selectColorPicker();
        choose(board, entry);
        QCOMPARE(board.view->tool(), tool);
        QVERIFY(!board.view->isPickerActive());
    }

    void zoomEntriesZoomAndRestore()
    {
        Board board;
        choose(board, QStringLiteral("   Zoom in"));
        choose(board, QStringLiteral("   Zoom in"));
        QVERIFY(board.view->isZoomMode());
        QCOMPARE(board.canvas().scale, 1.4);
        choose(board, QStringLiteral("   Zoom out"));
        QCOMPARE(board.canvas().scale, 1.2);
        choose(board, QStringLiteral("   Original scale"));
        QCOMPARE(board.canvas().scale, 1.0);
        QVERIFY(!board.view->isZoomMode());
    }

    void titlesAndEntry23NeighboursDoWhatTheTableSays()
    {
        Board board;
        board.drag(QPoint(50, 50), QPoint(90, 70));
        board.drag(QPoint(60, 150), QPoint(90, 170));
        const QImage twoStrokes = board.image().copy();
        QGuiApplication::clipboard()->setText(sentinel());

        // A submenu's own title entry does nothing.
        board.view->onMenuTrigged(submenu(board.view.get(), "   Pen size")->menuAction());
        board.view->onMenuTrigged(submenu(board.view.get(), "   Pen color")->menuAction());
        QCOMPARE(board.view->currentPenWidth(), 1);
        QCOMPARE(board.history().painted().size(), size_t(3));
        QCOMPARE(QGuiApplication::clipboard()->text(), sentinel());

        choose(board, QStringLiteral("   Undo"));
        QCOMPARE(board.history().painted().size(), size_t(2));
        choose(board, QStringLiteral("   Redo"));
        QCOMPARE(board.history().painted().size(), size_t(3));
        QCOMPARE(board.image(), twoStrokes);

        bool printWindowShown = false;
        answerNextModal(board.view.get(), [&](QWidget* modal) {
            printWindowShown = qobject_cast<PrintGrapWindow*>(modal) != nullptr;
            modal->close();
        });
        choose(board, QStringLiteral("   Print"));
        QVERIFY(printWindowShown);

        // Entry 23 copies the whole board.
        choose(board, QStringLiteral("   Copy to Clipboard"));
        QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(copied.size(), board.image().size());
        QCOMPARE(copied, board.image().convertToFormat(QImage::Format_RGB32));
    }

    void exitEntryAsksAndStaysOnNo()
    {
        Board board;
        bool asked = false;
        answerNextModal(board.view.get(), [&asked](QWidget* dialog) {
            asked = true;
            for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
                for (QAbstractButton* button : box->buttons()) {
                    if (box->buttonRole(button) == QDialogButtonBox::NoRole) {
                        button->click();
                        return;
                    }
                }
            }
            dialog->close();
        });
        choose(board, QStringLiteral("    Exit(&7)"));
        QVERIFY(asked);
        QVERIFY(board.view->manager());
    }

    void eachMenuRunsOnlyItsOwnHandlers()
    {
        Board board;
        board.view->selectArea();
        board.drag(QPoint(100, 80), QPoint(220, 160));
        const QRect area = Board::deviceArea(QPoint(100, 80), QPoint(220, 160));

        // The selection menu's copy takes the selection, not the whole board.
        QGuiApplication::clipboard()->setText(sentinel());
        board.rightPress(QPoint(150, 120), [&](QMenu* menu) {
            QCOMPARE(menu, board.view->selectionContextMenu());
            clickAction(menu, actionNamed(menu, QStringLiteral("   Copy")));
        });
        QCOMPARE(QGuiApplication::clipboard()->image().size(), area.size());
        QCOMPARE(board.view->tool(), int(SelectArea));
        QCOMPARE(board.view->currentPenWidth(), 1);

        // No main-menu entry but "Copy to Clipboard" touches the clipboard, and
        // none of them copies the selection or asks where to save.
        const QStringList skipped = {QStringLiteral("    Exit(&7)"), QStringLiteral("   Print"),
                                     QStringLiteral("   Copy to Clipboard")};
        QList<QAction*> entries = board.view->mainContextMenu()->actions();
        for (QMenu* sub : {submenu(board.view.get(), "   Pen size"), submenu(board.view.get(), "   Pen color")})
            entries += sub->actions();
        for (QAction* action : entries) {
            if (action->isSeparator() || skipped.contains(action->text()))
                continue;
            QGuiApplication::clipboard()->setText(sentinel());
            bool modal = false;
            QTimer::singleShot(0, [&modal] {
                if (QWidget* dialog = QApplication::activeModalWidget()) {
                    modal = true;
                    dialog->close();
                }
            });
            board.view->onMenuTrigged(action);
            QCoreApplication::processEvents();
            QVERIFY2(!modal, qPrintable(action->text()));
            QVERIFY2(QGuiApplication::clipboard()->text() == sentinel(), qPrintable(action->text()));
        }
    }
};

QTEST_MAIN(MenusTest)
#include "menus_test.moc"
