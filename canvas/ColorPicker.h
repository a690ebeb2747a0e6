#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

class QLabel;
class QLineEdit;
class QMouseEvent;
class QTimer;

// The small window that follows the pointer over the canvas and shows the
// colour of the screen pixel under it. It only shows values: it never
// changes the pen colour. A child of the canvas, not a window of its own.
class ColorPicker : public QWidget
{
    Q_OBJECT

public:
    explicit ColorPicker(QWidget* parent = nullptr);

    // Shows the picker and starts sampling; stop() hides it and stops the
    // timer, so the timer runs exactly while the picker is visible.
    void start();
    void stop();

    // Where the picker's top-left corner goes for a pointer at `point`: on the
    // pointer, flipped to the left or above when it would cross the right or
    // bottom edge of `bounds`.
    static QPoint placement(const QPoint& point, const QSize& size, const QRect& bounds);

    // Moves the picker for a pointer at `point`, in the canvas's own
    // coordinates; it flips at the canvas's edges.
    void follow(const QPoint& point);

    // The texts the picker shows for a colour.
    static QString rgbText(const QColor& color);
    static QString webText(const QColor& color);
    // Dark text on light colours, white text on everything else.
    static QString textColorFor(const QColor& color);

    // Fills the fields for `color`; an invalid colour (a failed grab) empties them.
    void showColor(const QColor& color);

    QLabel* swatch() const { return swatchLabel; }
    QLineEdit* webField() const { return webEdit; }
    QLineEdit* rgbField() const { return rgbEdit; }
    QLineEdit* positionField() const { return positionEdit; }
    QTimer* sampleTimer() const { return timer; }

public slots:
    // One tick of the timer: read the pointer and the pixel under it.
    void showColorValue();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QLabel* swatchLabel = nullptr;
    QLabel* captionLabel = nullptr;
    QLabel* webLabel = nullptr;
    QLineEdit* webEdit = nullptr;
    QLabel* rgbLabel = nullptr;
    QLineEdit* rgbEdit = nullptr;
    QLabel* positionLabel = nullptr;
    QLineEdit* positionEdit = nullptr;
    QTimer* timer = nullptr;
    QRect bounds;
};
