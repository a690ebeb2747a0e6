#pragma once

#include <QPushButton>
#include <QString>

class QPainter;
class QStyleOptionButton;
class QSvgRenderer;

// A push button drawn from four SVG pictures (normal, hover, pressed,
// disabled), with an optional SVG icon at its left and its text on top.
class SvgButton : public QPushButton {
    Q_OBJECT

public:
    SvgButton(const QString& normal, const QString& hover, const QString& pressed, const QString& disabled,
              QWidget* parent = nullptr);

    void setTextAlignment(int flags);
    void setTextMargins(int left, int top, int right, int bottom);
    void setIconSvg(const QString& path, int x = 0, int y = 0);
    void setSpare(int value) { spare = value; }

    // The picture shown for the current state: 0 normal, 1 hover, 2 pressed, 3 disabled.
    int currentState() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the whole button; called from paintEvent with antialiasing on.
    virtual void drawButton(QPainter* painter, QStyleOptionButton* option);

private:
    QString normalPath;
    QString hoverPath;
    QString pressedPath;
    QString disabledPath;
    QSvgRenderer* normalRenderer = nullptr;
    QSvgRenderer* hoverRenderer = nullptr;
    QSvgRenderer* pressedRenderer = nullptr;
    QSvgRenderer* disabledRenderer = nullptr;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int spare = 0;
    QString iconPath;
    QSvgRenderer* iconRenderer = nullptr;
    int iconX = 0;
    int iconY = 0;
};
