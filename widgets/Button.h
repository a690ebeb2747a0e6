#pragma once

#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QVector>

// An image button cut from a sprite sheet: tile 0 normal, 1 hover, 2 pressed.
// A state whose tile the sheet lacks keeps the normal picture.
class Button : public QPushButton {
    Q_OBJECT

public:
    Button(const QString& sprite, int columns, int rows, const QString& sizeHintImage = QString(),
           QWidget* parent = nullptr);

    QSize sizeHint() const override;
    int currentIndex() const { return curIndex; }
    int tileCount() const { return pixmaps.size(); }
    QPixmap tile(int index) const { return pixmaps.value(index); }

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setIndex(int index);

    QVector<QPixmap> pixmaps;
    QPixmap sizeHintPixmap;
    int curIndex = 0;
};
