// Saving and copying the board: the proposed name, files read back in their
// formats with the board's pixels, a save that cannot be written told to the
// user with the board left intact, and the real X clipboard (read by xclip)
// holding exactly the selected area, forward or backward, whole board or
// after the board is gone. Runs at a device pixel ratio of 1 and 1.5.
#include "output_fixture.h"

#include "canvas/GraphType.h"
#include "canvas/BoardFile.h"
#include "canvas/ImageOutput.h"
#include "widgets/MsgBox.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers the modal dialogs a save opens: the file dialog gets `target`,
// the message box (if any) is read and closed.
class ModalDriver : public QObject
{
public:
    explicit ModalDriver(const QString& target)
        : target(target)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start();
    }

    QString target;
    QString proposed;
    QStringList filters;
    bool fileDialogSeen = false;
    bool messageSeen = false;
    QString message;

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (!fileDialogSeen) {
                fileDialogSeen = true;
                proposed = dialog->selectedFiles().value(0);
                filters = dialog->nameFilters();
            }
            if (target.isEmpty()) {
                dialog->reject();
                return;
            }
            // Typed in full into the name field, as a user may, so the
            // folder the dialog happens to show does not matter.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(target);
            else
                dialog->selectFile(target);
            if (dialog->selectedFiles().value(0) == target)
                static_cast<QDialog*>(dialog)->accept();
            else
                qWarning() << "the file dialog would save to" << dialog->selectedFiles() << "not" << target;
        } else if (auto* box = qobject_cast<MsgBox*>(modal)) {
            messageSeen = true;
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("messageTextLabel")))
                message = label->text();
            box->reject();
        }
    }

    QTimer timer;
};

QImage rgb(const QImage& image)
{
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    converted.setDevicePixelRatio(1);
    return converted;
}

// What another program gets when it pastes: the X clipboard read by xclip.
// The event loop keeps running meanwhile, since this process serves the data.
QImage pasteFromX()
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                          QStringLiteral("image/png"), QStringLiteral("-o")});
    if (!xclip.waitForStarted(5000))
        return QImage();
    for (int i = 0; i < 500 && xclip.state() != QProcess::NotRunning; ++i)
        QTest::qWait(20);
    return QImage::fromData(xclip.readAllStandardOutput(), "PNG");
}

// A filled rectangle drawn across the edges of the area from..to, so the
// area's border runs over a drawing.
void drawAcross(Board& board, QPoint from, QPoint to)
{
    board.view->selectRect(true);
    board.view->setPenColor(0, 0, 255, 255);
    const QPoint a(qMin(from.x(), to.x()), qMin(from.y(), to.y()));
    const QPoint b(qMax(from.x(), to.x()), qMax(from.y(), to.y()));
    board.drag(a - QPoint(20, 20), (a + b) / 2);
}

// Drags out a selection with the select tool and opens its menu with a right
// press inside; `entry` is clicked there.
void selectAndChoose(Board& board, QPoint from, QPoint to, const QString& entry)
{
    board.view->selectArea();
    board.drag(from, to);
    const QPoint inside((from + to) / 2);
    bool chosen = false;
    board.rightPress(inside, [&](QMenu* menu) {
        QCOMPARE(menu, board.view->selectionContextMenu());
        QAction* action = actionNamed(menu, entry);
        QVERIFY(action);
        chosen = true;
        clickAction(menu, action);
    });
    QVERIFY(chosen);
}

void chooseFromMainMenu(Board& board, const QString& entry)
{
    board.view->selectPen();
    bool chosen = false;
    board.rightPress(QPoint(300, 200), [&](QMenu* menu) {
        QCOMPARE(menu, board.view->mainContextMenu());
        QAction* action = actionNamed(menu, entry);
        QVERIFY(action);
        chosen = true;
        clickAction(menu, action);
    });
    QVERIFY(chosen);
}

} // namespace

class OutputTest : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        // A home of its own, so the pictures folder the save dialog opens in
        // is this run's and starts out missing.
        QVERIFY(home.isValid());
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    }

    void init()
    {
        // Each case starts from a known clipboard.
        QGuiApplication::clipboard()->clear();
    }

    void proposedNameIsStampedWithTheClock()
    {
        const QDateTime at(QDate(2026, 12, 6), QTime(20, 30, 15));
        QCOMPARE(ImageOutput::defaultFileName(at), QStringLiteral("Scribbloom_20261206_203015.jpg"));
        QCOMPARE(ImageOutput::saveFilter(),
             QStringLiteral("JPEG File (*.jpg);;BMP File (*.bmp);;PNG File (*.png);;Scribbloom board (*.sbboard)"));
    }

    void saveDialogOpensInPicturesThenWhereTheLastSaveWent()
    {
        const QString pictures = home.filePath(QStringLiteral("Pictures"));
        QVERIFY(!QFileInfo::exists(pictures));
        Board board;
        {
            ModalDriver cancel{QString()};
            board.view->saveAs();
            QVERIFY(cancel.fileDialogSeen);
            QCOMPARE(QFileInfo(cancel.proposed).absolutePath(), pictures);
            QVERIFY(QFileInfo(pictures).isDir());
        }
        QTemporaryDir dir;
        {
            ModalDriver save(dir.filePath(QStringLiteral("first.png")));
            board.view->saveAs();
            QVERIFY(QFile::exists(dir.filePath(QStringLiteral("first.png"))));
        }
        ModalDriver again{QString()};
        board.view->saveAs();
        QCOMPARE(QFileInfo(again.proposed).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        QVERIFY2(QRegularExpression(QStringLiteral("^Scribbloom_\\d{8}_\\d{6}\\.jpg$"))
                     .match(QFileInfo(again.proposed).fileName())
                     .hasMatch(),
                 qPrintable(again.proposed));
    }

    void nameTypedWithoutSuffixGetsTheFiltersSuffix()
    {
        QTemporaryDir dir;
        Board board;
        ModalDriver driver(dir.filePath(QStringLiteral("board")));
        board.view->saveAs();
        QVERIFY(driver.fileDialogSeen);
        QVERIFY2(!driver.messageSeen, qPrintable(driver.message));
        QCOMPARE(QImageReader(dir.filePath(QStringLiteral("board.jpg"))).format(), QByteArray("jpeg"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("board"))));
    }

    void aNameTypedWithTheBoardSuffixSavesABoardFile()
    {
        QTemporaryDir dir;
        Board board;
        board.view->selectRect(true);
        board.drag(QPoint(20, 20), QPoint(80, 60));
        const QString path = dir.filePath(QStringLiteral("lesson.sbboard"));
        ModalDriver driver(path);
        board.view->saveAs();
        QVERIFY2(!driver.messageSeen, qPrintable(driver.message));
        BoardFile::Contents contents;
        QString problem;
        QVERIFY2(BoardFile::read(path, &contents, &problem), qPrintable(problem));
        QCOMPARE(contents.state.done.size(), board.history().painted().size());
        QCOMPARE(contents.snapshot.size(), board.image().size());
    }

    // The suffix is added after the dialog's own overwrite check: the file
    // it then names is asked about too, No keeps it and shows the dialog
    // again, Yes replaces it.
    void aSuffixedNameThatExistsIsAskedAboutFirst()
    {
        for (const bool replace : {false, true}) {
            QTemporaryDir dir;
            const QString existing = dir.filePath(QStringLiteral("shot.jpg"));
            QFile old(existing);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("keep") == 4);
            old.close();
            Board board;
            int dialogs = 0;
            QString asked;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                    if (++dialogs > 1) {
                        dialog->reject();
                        return;
                    }
                    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                        name->setText(dir.filePath(QStringLiteral("shot")));
                    static_cast<QDialog*>(dialog)->accept();
                } else if (auto* box = qobject_cast<MsgBox*>(modal)) {
                    if (auto* label = box->findChild<QLabel*>(QStringLiteral("messageTextLabel")))
                        asked = label->text();
                    for (auto* buttons : box->findChildren<QDialogButtonBox*>()) {
                        for (QAbstractButton* button : buttons->buttons()) {
                            if (buttons->buttonRole(button) == (replace ? QDialogButtonBox::YesRole
                                                                        : QDialogButtonBox::NoRole)) {
                                button->click();
                                return;
                            }
                        }
                    }
                    box->reject();
                }
            });
            poll.start(20);
            board.view->saveAs();
            poll.stop();
            QVERIFY2(asked.contains(QStringLiteral("shot.jpg")), qPrintable(asked));
            QCOMPARE(dialogs, replace ? 1 : 2);
            QCOMPARE(QImageReader(existing).format(), replace ? QByteArray("jpeg") : QByteArray());
            QFile kept(existing);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll() == "keep", !replace);
        }
    }

    void savedBoardReadsBackInTheFormatOfItsSuffix_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "png" << QByteArray("png");
        QTest::newRow("bmp") << "bmp" << QByteArray("bmp");
        QTest::newRow("jpg") << "jpg" << QByteArray("jpeg");
    }

    void savedBoardReadsBackInTheFormatOfItsSuffix()
    {
        QFETCH(QString, suffix);
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        Board board;
        QVERIFY(board.exposed);
        const QString path = dir.filePath(QStringLiteral("board.") + suffix);
        ModalDriver driver(path);
        board.view->saveAs();

        QVERIFY(driver.fileDialogSeen);
        QVERIFY(!driver.messageSeen);
        QVERIFY2(QRegularExpression(QStringLiteral("^Scribbloom_\\d{8}_\\d{6}\\.jpg$"))
                     .match(QFileInfo(driver.proposed).fileName())
                     .hasMatch(),
                 qPrintable(driver.proposed));
        QCOMPARE(driver.filters, ImageOutput::saveFilter().split(QStringLiteral(";;")));

        QImageReader reader(path);
        QCOMPARE(reader.format(), format);
        const QImage saved = rgb(reader.read());
        const QImage board_ = rgb(board.image());
        // The whole board at its full physical resolution.
        QCOMPARE(saved.size(), board_.size());
        if (format != "jpeg") {
            QCOMPARE(saved, board_);
        } else {
            // Lossy, but the picture is the board's: compare a few regions on average.
            for (const QPoint p : {QPoint(100, 100), QPoint(saved.width() / 2, saved.height() / 2),
                                   QPoint(saved.width() - 50, saved.height() - 50)}) {
                const QColor a = saved.pixelColor(p), b = board_.pixelColor(p);
                QVERIFY(qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40);
            }
        }
    }

    void savedSelectionIsExactlyTheSelectedArea_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("dragged down-right") << QPoint(101, 77) << QPoint(358, 243);
        QTest::newRow("dragged up-left") << QPoint(358, 243) << QPoint(101, 77);
        QTest::newRow("dragged up-right") << QPoint(101, 243) << QPoint(358, 77);
    }

    void savedSelectionIsExactlyTheSelectedArea()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QTemporaryDir dir;
        Board board;
        drawAcross(board, from, to);
        const QImage drawn = board.image().copy();
        const QString path = dir.filePath(QStringLiteral("area.png"));
        ModalDriver driver(path);
        selectAndChoose(board, from, to, QStringLiteral("   Save image"));
        QVERIFY(driver.fileDialogSeen);
        QVERIFY2(!driver.messageSeen, qPrintable(driver.message));

        // Exactly the board's pixels: no marquee on the edges.
        const QRect area = Board::deviceArea(from, to);
        const QImage saved = rgb(QImage(path));
        QCOMPARE(saved.size(), area.size());
        QCOMPARE(saved, rgb(drawn.copy(area)));
        QCOMPARE(board.image(), drawn);
    }

    void failedSaveIsToldAndTheBoardStays_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("folder that does not exist") << "missing/board.png";
        QTest::newRow("a file where the folder should be") << "plain.txt/board.png";
        QTest::newRow("unknown suffix") << "board.xyz";
        QTest::newRow("read-only folder") << "locked/board.png";
    }

    void failedSaveIsToldAndTheBoardStays()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        {
            QFile plain(dir.filePath(QStringLiteral("plain.txt")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QDir().mkpath(locked);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (relative.startsWith(QStringLiteral("locked")) && QFileInfo(locked).isWritable())
            QSKIP("this user may write into read-only folders (root); the other rows cover failed writes");

        Board board;
        board.view->selectRect(true);
        board.view->setPenColor(0, 0, 255, 255);
        board.drag(QPoint(50, 50), QPoint(120, 90));
        const QImage before = board.image().copy();
        const size_t items = board.history().painted().size();

        const QString path = dir.filePath(relative);
        ModalDriver driver(path);
        board.view->saveAs();
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QVERIFY(driver.fileDialogSeen);
        QVERIFY2(driver.messageSeen, "a failed save must be reported");
        QVERIFY2(driver.message.contains(QDir::toNativeSeparators(path)), qPrintable(driver.message));
        QVERIFY(!QFile::exists(path));
        QVERIFY(board.view->isVisible());
        QCOMPARE(board.history().painted().size(), items);
        QCOMPARE(board.image(), before);
    }

    void cancelledSaveWritesNothing()
    {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        Board board;
        ModalDriver driver{QString()};
        board.view->saveAs();
        QDir::setCurrent(previous);
        QVERIFY(driver.fileDialogSeen);
        QVERIFY(!driver.messageSeen);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void copiedSelectionPastesAsExactlyTheSelectedArea_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("dragged down-right") << QPoint(201, 121) << QPoint(423, 305);
        QTest::newRow("dragged up-left") << QPoint(423, 305) << QPoint(201, 121);
    }

    void copiedSelectionPastesAsExactlyTheSelectedArea()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        Board board;
        drawAcross(board, from, to);
        const QImage drawn = board.image().copy();
        selectAndChoose(board, from, to, QStringLiteral("   Copy"));
        const QRect area = Board::deviceArea(from, to);
        const QImage pasted = rgb(pasteFromX());
        QCOMPARE(pasted.size(), area.size());
        QCOMPARE(pasted, rgb(drawn.copy(area)));
    }

    void zoomedAndPannedSelectionCopiesTheSelectedBoardArea()
    {
        Board board;
        const QPoint from(201, 121), to(423, 305);
        drawAcross(board, from, to);
        const QImage drawn = board.image().copy();
        board.view->selectArea();
        board.drag(from, to);
        board.view->zoomIn();
        board.view->zoomIn();
        QCOMPARE(board.canvas().scale, 1.0 + 0.2 + 0.2);
        // Pan the zoomed board a little.
        board.drag(QPoint(600, 400), QPoint(560, 370));
        QCOMPARE(board.history().selectionRect(), QRect(Board::deviceArea(from, to)));

        // Where the middle of the selection shows in the zoomed window.
        const CanvasView& canvas = board.canvas();
        const QRect shown = canvas.windowArea(Board::deviceArea(from, to));
        const QPoint middle = shown.center();
        bool chosen = false;
        board.rightPress(middle, [&](QMenu* menu) {
            QCOMPARE(menu, board.view->selectionContextMenu());
            QAction* action = actionNamed(menu, QStringLiteral("   Copy"));
            QVERIFY(action);
            chosen = true;
            clickAction(menu, action);
        });
        QVERIFY(chosen);
        QCOMPARE(rgb(pasteFromX()), rgb(drawn.copy(Board::deviceArea(from, to))));
    }

    void copyToClipboardEntryCopiesTheWholeBoard()
    {
        Board board;
        chooseFromMainMenu(board, QStringLiteral("   Copy to Clipboard"));
        const QImage pasted = rgb(pasteFromX());
        QCOMPARE(pasted.size(), board.image().size());
        QCOMPARE(pasted, rgb(board.image()));
    }

    void clipboardStillPastesAfterTheBoardIsClosed()
    {
        QImage expected;
        {
            Board board;
            selectAndChoose(board, QPoint(50, 40), QPoint(250, 140), QStringLiteral("   Copy"));
            expected = rgb(board.image().copy(Board::deviceArea(QPoint(50, 40), QPoint(250, 140))));
            board.view->close();
        }
        QCOMPARE(rgb(pasteFromX()), expected);
    }
};

QTEST_MAIN(OutputTest)
#include "output_test.moc"
