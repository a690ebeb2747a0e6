// The print window: its controls, the preview of the page, a PDF page whose
// picture spans the page width, and a real print through CUPS-PDF when the
// test harness provides a scheduler.
#include "canvas/PrintGrapWindow.h"
#include "widgets/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
const QColor boardColor(20, 160, 60);

const QColor markColor(30, 40, 220);

// The board handed to the print window: one known colour, screen-sized,
// with a drawing in the middle, where the print window stands on screen.
QImage board()
{
    QImage image(QGuiApplication::primaryScreen()->geometry().size() * QGuiApplication::primaryScreen()->devicePixelRatio(),
                 QImage::Format_RGB32);
    image.fill(boardColor);
    QPainter painter(&image);
    const QSize mark = image.size() / 5;
    painter.fillRect(QRect(QPoint(image.width() / 2, image.height() / 2) - QPoint(mark.width() / 2, mark.height() / 2),
                           mark),
                     markColor);
    return image;
}

bool near(QRgb a, const QColor& b, int tolerance = 40)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance
        && qAbs(qBlue(a) - b.blue()) <= tolerance;
}

// First page of a PDF at 72 dpi, so one pixel is one point.
QImage renderPdf(const QString& pdf, const QString& workDir)
{
    const QString prefix = workDir + QStringLiteral("/page");
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("1"),
                       QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"),
                       QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// The horizontal extent of `color` along row y, and the vertical extent along column x.
QPair<int, int> spanInRow(const QImage& page, int y, const QColor& color)
{
    int first = -1, last = -1;
    for (int x = 0; x < page.width(); ++x) {
        if (near(page.pixel(x, y), color)) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return {first, last};
}

QPair<int, int> spanInColumn(const QImage& page, int x, const QColor& color)
{
    int first = -1, last = -1;
    for (int y = 0; y < page.height(); ++y) {
        if (near(page.pixel(x, y), color)) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

// Checks a rendered page: the picture fills the printable width and is
// centred vertically with the screen's proportions.
void checkFittedPage(const QImage& page, const QRectF& printable, const QSizeF& picture, const QColor& color)
{
    QVERIFY2(!page.isNull(), "the PDF page could not be rendered");
    const int midY = int(printable.center().y());
    const auto row = spanInRow(page, midY, color);
    QVERIFY2(row.first >= 0, "no picture on the page");
    QVERIFY2(qAbs(row.first - printable.left()) <= 2, qPrintable(QString::number(row.first)));
    QVERIFY2(qAbs(row.second + 1 - printable.right()) <= 2, qPrintable(QString::number(row.second)));

    const double height = picture.height() * printable.width() / picture.width();
    const double top = printable.top() + (printable.height() - height) / 2;
    const auto column = spanInColumn(page, int(printable.center().x()), color);
    QVERIFY2(qAbs(column.first - top) <= 2, qPrintable(QString::number(column.first)));
    QVERIFY2(qAbs(column.second + 1 - (top + height)) <= 2, qPrintable(QString::number(column.second)));
}
}

class OutputPrintTest : public QObject
{
    Q_OBJECT

private slots:
    void windowHasItsControls()
    {
        PrintGrapWindow window;
        QCOMPARE(window.objectName(), QStringLiteral("PrintGrapWindow"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Print"));
        QCOMPARE(window.size(), QSize(941, 530));
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);

        const struct {
            const char* name;
            const char* text;
            QRect geometry;
        } buttons[] = {
            {"printButton", "Print", QRect(30, 220, 91, 23)},
            {"printSettingButton", "Print Setting", QRect(30, 180, 91, 23)},
            {"zoomoutButton", "Zommout", QRect(30, 140, 91, 23)},
            {"zoominButton", "Zoomin", QRect(30, 100, 91, 23)},
        };
        for (const auto& b : buttons) {
            auto* button = window.findChild<QPushButton*>(QString::fromLatin1(b.name));
            QVERIFY2(button, b.name);
            QCOMPARE(button->text(), QString::fromLatin1(b.text));
            QCOMPARE(button->geometry(), b.geometry);
        }
        auto* area = window.findChild<QWidget*>(QStringLiteral("verticalLayoutWidget"));
        QVERIFY(area);
        QCOMPARE(area->geometry(), QRect(150, 20, 771, 491));
        QCOMPARE(window.preview()->parentWidget(), area);
        // The printer's dialogs show above this window and the board it belongs to.
        QCOMPARE(window.printDialog()->parentWidget(), &window);
        QCOMPARE(window.pageDialog()->parentWidget(), &window);
        // With no queue at all Qt quietly turns a native printer into a PDF one.
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QCOMPARE(window.printer()->outputFormat(), QPrinter::NativeFormat);
    }

    void previewShowsTheBoardOnOnePage()
    {
        // Nothing of the board is on the screen: the preview shows the board itself.
        PrintGrapWindow window(nullptr, board());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.preview()->updatePreview();
        QTRY_COMPARE(window.preview()->pageCount(), 1);

        // The page in the preview carries the board's colour over most of its width.
        QImage shot;
        int widest = 0;
        QTRY_VERIFY_WITH_TIMEOUT((shot = window.preview()->grab().toImage(),
                                  widest = spanInRow(shot, shot.height() / 2, boardColor).second
                                      - spanInRow(shot, shot.height() / 2, boardColor).first,
                                  widest > shot.width() / 4),
                                 5000);
    }

    void previewZoomButtonsScaleByTenPercent()
    {
        PrintGrapWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.preview()->setZoomFactor(1.0);
        auto* zoomIn = window.findChild<QPushButton*>(QStringLiteral("zoominButton"));
        auto* zoomOut = window.findChild<QPushButton*>(QStringLiteral("zoomoutButton"));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(zoomIn, Qt::LeftButton);
        QVERIFY(qAbs(window.preview()->zoomFactor() - 1.1 * 1.1 * 1.1) < 1e-9);
        QTest::mouseClick(zoomOut, Qt::LeftButton);
        QVERIFY(qAbs(window.preview()->zoomFactor() - 1.1 * 1.1) < 1e-9);
    }

    void pdfPagePictureSpansThePageWidth_data()
    {
        QTest::addColumn<QSize>("pictureSize");
        QTest::newRow("landscape screen") << QSize(1920, 1080);
        QTest::newRow("portrait screen taller than the page") << QSize(600, 1200);
    }

    void pdfPagePictureSpansThePageWidth()
    {
        QFETCH(QSize, pictureSize);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("board.pdf")));
        QPixmap picture(pictureSize);
        picture.fill(boardColor);

        QVERIFY(PrintGrapWindow::printPixmap(&printer, picture));
        const QImage page = renderPdf(dir.filePath(QStringLiteral("board.pdf")), dir.path());
        const QRectF printable = printer.pageRect(QPrinter::Point);
        if (pictureSize.height() * printable.width() / pictureSize.width() <= printable.height()) {
            checkFittedPage(page, printable, pictureSize, boardColor);
        } else {
            // Too tall: still the full width, overflowing top and bottom alike.
            const auto row = spanInRow(page, page.height() / 2, boardColor);
            QVERIFY(qAbs(row.first - printable.left()) <= 2);
            QVERIFY(qAbs(row.second + 1 - printable.right()) <= 2);
            const auto column = spanInColumn(page, page.width() / 2, boardColor);
            QVERIFY(column.first <= printable.top() + 1);
            QVERIFY(column.second + 1 >= printable.bottom() - 1);
        }
    }

    void printerThatCannotOpenIsReported()
    {
        // No queue and no file: there is nowhere to print to.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/nonexistent-folder/board.pdf"));
        QPixmap picture(100, 50);
        picture.fill(boardColor);
        QVERIFY(!PrintGrapWindow::printPixmap(&printer, picture));
    }

    void printThatCannotStartIsToldToTheUser()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a print queue is set up; this case prints to a file that cannot be made");
        // The user accepts the dialog with a file under a plain file, which
        // the dialog lets through and the printer then cannot open.
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const QString target = dir.filePath(QStringLiteral("plain/board.pdf"));
        PrintGrapWindow window(nullptr, board());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool accepted = false;
        QString told;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
                if (!name)
                    return;
                name->setText(target);
                accepted = true;
                dialog->accept();
            } else if (auto* box = qobject_cast<MsgBox*>(modal)) {
                if (auto* label = box->findChild<QLabel*>(QStringLiteral("messageTextLabel")))
                    told = label->text();
                box->reject();
            }
        });
        poll.start();
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("printButton")), Qt::LeftButton);
        QVERIFY(accepted);
        QVERIFY2(told.contains(QStringLiteral("could not be printed")), qPrintable(told));
    }

    void printButtonPrintsTheBoardThroughCups()
    {
        const QString outDir = qEnvironmentVariable("SCRIBBLOOM_CUPS_PDF_DIR");
        if (outDir.isEmpty())
            QSKIP("no private CUPS scheduler was started (see with-cups.sh); the PDF-format case covers the page");
        QVERIFY(QPrinterInfo::availablePrinterNames().contains(QStringLiteral("PDF")));

        QDir().mkpath(outDir);
        // CUPS-PDF names files after the job number, which a fresh scheduler
        // starts again at 1: recognise our page by its time, not its name.
        const QDateTime started = QDateTime::currentDateTime().addSecs(-1);

        // The print window stands in the middle of the screen, over nothing
        // of the board: the page must show the board there all the same.
        PrintGrapWindow window(nullptr, board());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool accepted = false;
        QTimer::singleShot(200, [&] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                accepted = true;
                dialog->accept();
            }
        });
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("printButton")), Qt::LeftButton);
        QVERIFY(accepted);
        QCOMPARE(window.printer()->printerName(), QStringLiteral("PDF"));

        // The file shows up while CUPS-PDF is still writing it: wait for a readable page.
        QTemporaryDir work;
        QImage page;
        QString printed;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                if (!page.isNull())
                    return true;
                for (const QFileInfo& file : QDir(outDir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
                    if (file.lastModified() >= started && file.size() > 0) {
                        page = renderPdf(file.filePath(), work.path());
                        if (!page.isNull()) {
                            printed = file.filePath();
                            return true;
                        }
                    }
                }
                return false;
            }(),
            20000);
        QFile::remove(printed);

        const QRectF printable = window.printer()->pageRect(QPrinter::Point);
        const auto row = spanInRow(page, int(printable.center().y()), boardColor);
        QVERIFY2(row.first >= 0, "no picture on the printed page");
        QVERIFY2(qAbs(row.first - printable.left()) <= 3, qPrintable(QString::number(row.first)));
        QVERIFY2(qAbs(row.second + 1 - printable.right()) <= 3, qPrintable(QString::number(row.second)));
        // The board's drawing, where the print window stood on screen.
        QVERIFY(near(page.pixel(printable.center().toPoint()), markColor));
        // Kept for a look when asked for.
        if (qEnvironmentVariableIsSet("SCRIBBLOOM_PRINTOUT_PNG"))
            page.save(qEnvironmentVariable("SCRIBBLOOM_PRINTOUT_PNG"));
    }
};

QTEST_MAIN(OutputPrintTest)
#include "output_print_test.moc"
