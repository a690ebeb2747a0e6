#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

// A self-painted label: an optional centred pixmap, text (optionally passed
// through tr() when painted) and an optional border.
class PubLabel : public QWidget {
    Q_OBJECT

public:
    explicit PubLabel(QWidget* parent = nullptr);

    void setText(const QString& text, bool translate = false);
    QString text() const { return text_; }
    void setAlignment(int alignment);
    void setTextColor(const QColor& color);
    void setPixmap(const QPixmap& pixmap);
    void setBorderWidth(int width);
    void setBorderColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QPixmap pixmap;
    int alignment = Qt::AlignCenter;
    QColor textColor = Qt::black;
    bool translate = false;
    int borderWidth = 0;
    QColor borderColor = Qt::red;
};
