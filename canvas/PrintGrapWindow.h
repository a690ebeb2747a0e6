#pragma once

#include <QPixmap>

#include <QDialog>

#include <memory>

class QPageSetupDialog;
class QImage;
class QPrintDialog;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The print dialog of the board: a preview of the page and buttons to zoom
// it, set up the page and print. What it prints is the board it was given,
// fitted to the page width and centred on the page; the preview shows
// exactly that.
class PrintGrapWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PrintGrapWindow(QWidget* parent = nullptr, const QImage& board = QImage());
    ~PrintGrapWindow() override;

    QPrinter* printer() const { return printerDevice.get(); }
    QPrintPreviewWidget* preview() const { return previewWidget; }
    QPrintDialog* printDialog() const { return printChooser.get(); }
    QPageSetupDialog* pageDialog() const { return pageChooser.get(); }

    // Paints `pixmap` onto `target` fitted to the page width and centred
    // vertically. A null pixmap leaves the page empty. Returns false when the
    // printer could not be opened (no printer and no output file).
    static bool printPixmap(QPrinter* target, const QPixmap& pixmap);

    // Prints the board onto `target`.
    bool printBoard(QPrinter* target) const;

public slots:
    void onPrint();
    void onPrintSetting();
    void onZoomin();
    void onZoomout();
    void slotPintPreview(QPrinter* previewPrinter);

private:
    QPushButton* printButton = nullptr;
    QPushButton* printSettingButton = nullptr;
    QPushButton* zoomoutButton = nullptr;
    QPushButton* zoominButton = nullptr;
    QWidget* verticalLayoutWidget = nullptr;
    QVBoxLayout* verticalLayout = nullptr;
    std::unique_ptr<QPrinter> printerDevice;
    std::unique_ptr<QPrintDialog> printChooser;
    std::unique_ptr<QPageSetupDialog> pageChooser;
    QPrintPreviewWidget* previewWidget = nullptr;
    QPixmap board;
};
