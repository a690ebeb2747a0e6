#include "canvas/PrintGrapWindow.h"

#include "widgets/MsgBox.h"

#include <QCoreApplication>
#include <QImage>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRect>
#include <QVBoxLayout>
#include <QWidget>

PrintGrapWindow::PrintGrapWindow(QWidget* parent, const QImage& board)
    : QDialog(parent)
    , board(QPixmap::fromImage(board))
{
    setObjectName(QStringLiteral("PrintGrapWindow"));
    resize(941, 530);

    printButton = new QPushButton(this);
    printButton->setObjectName(QStringLiteral("printButton"));
    printButton->setGeometry(30, 220, 91, 23);
    printSettingButton = new QPushButton(this);
    printSettingButton->setObjectName(QStringLiteral("printSettingButton"));
    printSettingButton->setGeometry(30, 180, 91, 23);
    zoomoutButton = new QPushButton(this);
    zoomoutButton->setObjectName(QStringLiteral("zoomoutButton"));
    zoomoutButton->setGeometry(30, 140, 91, 23);
    zoominButton = new QPushButton(this);
    zoominButton->setObjectName(QStringLiteral("zoominButton"));
    zoominButton->setGeometry(30, 100, 91, 23);
    verticalLayoutWidget = new QWidget(this);
    verticalLayoutWidget->setObjectName(QStringLiteral("verticalLayoutWidget"));
    verticalLayoutWidget->setGeometry(150, 20, 771, 491);
    verticalLayout = new QVBoxLayout(verticalLayoutWidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(6);
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    setWindowTitle(QCoreApplication::translate("PrintGrapWindow", "PrintGrapWindow"));
    printButton->setText(QCoreApplication::translate("PrintGrapWindow", "Print"));
    printSettingButton->setText(QCoreApplication::translate("PrintGrapWindow", "Print Setting"));
    zoomoutButton->setText(QCoreApplication::translate("PrintGrapWindow", "Zommout"));
    zoominButton->setText(QCoreApplication::translate("PrintGrapWindow", "Zoomin"));

    connect(printButton, SIGNAL(clicked(bool)), this, SLOT(onPrint()));
    connect(printSettingButton, SIGNAL(clicked(bool)), this, SLOT(onPrintSetting()));
    connect(zoominButton, SIGNAL(clicked(bool)), this, SLOT(onZoomin()));
    connect(zoomoutButton, SIGNAL(clicked(bool)), this, SLOT(onZoomout()));

    setWindowTitle(tr("Print"));
    setWindowFlags(Qt::WindowCloseButtonHint);

    printerDevice = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printerDevice->setOutputFormat(QPrinter::NativeFormat);
    // Children of this window, so they show above it and above the board it belongs to.
    printChooser = std::make_unique<QPrintDialog>(printerDevice.get(), this);
    pageChooser = std::make_unique<QPageSetupDialog>(printerDevice.get(), this);
    previewWidget = new QPrintPreviewWidget(printerDevice.get(), verticalLayoutWidget);
    connect(previewWidget, SIGNAL(paintRequested(QPrinter*)), this, SLOT(slotPintPreview(QPrinter*)));
    verticalLayout->addWidget(previewWidget);

    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
}

PrintGrapWindow::~PrintGrapWindow()
{
    // The preview draws on our printer: let it go before the printer does.
    delete previewWidget;
}

bool PrintGrapWindow::printPixmap(QPrinter* target, const QPixmap& pixmap)
{
    QPainter painter;
    if (!painter.begin(target))
        return false;
    if (!pixmap.isNull()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        const QRect page = target->pageRect(QPrinter::DevicePixel).toRect();
        const double ratio = double(page.width()) / pixmap.width();
        const int drawnHeight = int(pixmap.height() * ratio);
        const int top = int((page.height() - pixmap.height() * ratio) * 0.5);
        painter.drawPixmap(QRect(0, top, page.width(), drawnHeight), pixmap);
    }
    return painter.end();
}

bool PrintGrapWindow::printBoard(QPrinter* target) const
{
    return printPixmap(target, board);
}

void PrintGrapWindow::onPrint()
{
    if (printChooser->exec() == QDialog::Accepted && !printBoard(printerDevice.get())) {
        // The user believes the page is on its way: say it is not.
        MsgBox::information(this, tr("Print"),
                            tr("The board could not be printed: the printer could not be opened."),
                            QMessageBox::Ok);
    }
    update();
}

void PrintGrapWindow::onPrintSetting()
{
    pageChooser->exec();
    update();
}

void PrintGrapWindow::onZoomin()
{
    previewWidget->zoomIn(1.1);
    update();
}

void PrintGrapWindow::onZoomout()
{
    previewWidget->zoomOut(1.1);
    update();
}

void PrintGrapWindow::slotPintPreview(QPrinter*)
{
    printBoard(printerDevice.get());
}
