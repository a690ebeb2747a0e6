#pragma once

#include <QString>
#include <QWidget>

class Button;
class PubLabel;
class QMouseEvent;
class QPaintEvent;

// The 25-pixel bar on top of the tool strip: the program's name and a small
// close button.
class MainTitleBar : public QWidget
{
    Q_OBJECT

public:
    // What the bar reports through clicked(): only the close button exists.
    static constexpr int CloseButton = 4;

    explicit MainTitleBar(QWidget* parent);

    Button* closeButton() const { return closeBtn; }
    PubLabel* titleLabel() const { return title; }

signals:
    void clicked(int buttonType);
    void actionTriggered(int actionType);

public slots:
    void setTitle(const QString& text);
    void onButtonClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    PubLabel* title = nullptr;
    Button* closeBtn = nullptr;
};
