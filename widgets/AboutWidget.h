#pragma once

#include <QDialog>
#include <QPoint>

class QLabel;
class QPushButton;
class QWidget;

// The modal "About..." box: frameless and always on top, with a blue
// caption strip by which the user drags it, the program icon, name, version
// and a notice line with a link to the product's web site.
class AboutWidget : public QDialog {
    Q_OBJECT

public:
    explicit AboutWidget(QWidget* parent = nullptr);

    // Whether a press at this dialog-local point grabs the caption: the
    // strip itself, not its title label or close button.
    bool isCaptionAt(const QPoint& pos) const;

public slots:
    void cancelSlot();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* shadowWidget = nullptr;
    QWidget* captionWidget = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* aboutTitle = nullptr;
    QLabel* productName = nullptr;
    QLabel* appIcon = nullptr;
    QLabel* noticeLabel = nullptr;
    QLabel* versionLabel = nullptr;

    bool dragging = false;
    QPoint dragOffset;
};
