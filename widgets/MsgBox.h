#pragma once

#include "widgets/DraggableWindow.h"

#include <QDialog>
#include <QString>

class QAbstractButton;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class SvgButton;

// The program's own modal message box: a white, shadowed, draggable box
// with a logo, a title and a close button, an icon, the text and SVG buttons.
// The static functions return a QMessageBox::StandardButton value; closing
// the box without choosing a button gives QMessageBox::NoButton (0).
class MsgBox : public DraggableWindow<QDialog> {
    Q_OBJECT

public:
    MsgBox(QWidget* parent, const QString& title, const QString& text, int buttons, int defaultButton);

    static int question(QWidget* parent, const QString& title, const QString& text, int buttons,
                        int defaultButton);
    static int information(QWidget* parent, const QString& title, const QString& text, int buttons);

    // The QMessageBox::StandardButton the clicked button stands for, NoButton when none was clicked.
    int chosenButton() const;
    void setIconSvg(const QString& path);

public slots:
    void onButtonClicked(QAbstractButton* button);

private:
    int runModal();

    QLabel* logoLabel = nullptr;
    SvgButton* closeButton = nullptr;
    QLabel* iconLabel = nullptr;
    QLabel* textLabel = nullptr;
    QGridLayout* gridLayout = nullptr;
    QDialogButtonBox* buttonBox = nullptr;
    QAbstractButton* clickedButton = nullptr;
};
