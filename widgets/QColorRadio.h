#pragma once

#include <QRadioButton>

class QPushButton;

// A colour radio of the tool panel: its picture comes from the panel's
// style sheet, and a selection ring is laid over it while it is checked.
class QColorRadio : public QRadioButton {
    Q_OBJECT

public:
    explicit QColorRadio(QWidget* parent = nullptr);

    void setSelectedVisible(bool visible);
    QPushButton* ring() const { return selected; }

private:
    QPushButton* selected = nullptr;
};
