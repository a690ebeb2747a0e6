#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include <array>

// A container that paints a soft drop shadow in its margins, from one
// generated image cut into nine slices: corners drawn as they are, edges
// stretched, the middle left to the content.
class ShadowWidget : public QWidget {
    Q_OBJECT

public:
    explicit ShadowWidget(int shadowWidth, QWidget* parent = nullptr);

    void setDrawShadow(bool on);
    int shadowWidth() const { return width_; }

    // The shadow picture for width r: (2r + 10) square, alpha growing from
    // the outer edge inwards, corners rounded.
    static QImage makeShadowImage(int r);

    // The nine slices of rect for corner parameter q, in the order top-left,
    // top, top-right, left, middle, right, bottom-left, bottom, bottom-right;
    // false when q is below 1 or not below half the width and height.
    static bool sliceRect(const QRect& rect, int q, std::array<QRect, 9>& out);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QImage, 9> slices;
    QImage shadow;
    int width_ = 0;
    bool drawShadow = true;
};
