#pragma once

#include <QWidget>

class QLabel;

// One 30-pixel row of a QCustomMenu: optional 20 x 20 icon, then the text.
// Any mouse release on the row reports its identifier.
class QMenuItem : public QWidget {
    Q_OBJECT

public:
    explicit QMenuItem(bool hasIcon);

    QLabel* iconLabel() const { return icon; }
    QLabel* textLabel() const { return label; }
    void setId(int value) { id = value; }
    int itemId() const { return id; }
    bool isHovered() const { return hovered; }

signals:
    void signalMenuClicked(int id);

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* icon = nullptr;
    QLabel* label = nullptr;
    bool hovered = false;
    int id = 0;
    const bool hasIcon;
};
