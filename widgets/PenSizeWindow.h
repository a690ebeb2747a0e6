#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// The modal "Pen size" dialog: a choice of widths 1-32, preselecting the
// stored "Pensize" and storing the accepted choice back (in memory).
class PenSizeWindow : public QDialog {
    Q_OBJECT

public:
    explicit PenSizeWindow(QWidget* parent = nullptr);

    // The accepted width; valid after exec() returned QDialog::Accepted.
    int penSize() const { return chosenSize; }

public slots:
    void onBtnPensize();

private:
    int chosenSize = 0;
    QLabel* labelPenSize = nullptr;
    QComboBox* penSizeCombox = nullptr;
    QPushButton* okPushButton = nullptr;
};
