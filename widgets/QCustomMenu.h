#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QListWidget;

// A rounded, shadowed popup list; clicking a row reports its identifier.
// A menu of n rows is 50 + 30 n pixels high and 180 wide.
class QCustomMenu : public QWidget {
    Q_OBJECT

public:
    explicit QCustomMenu(QWidget* parent = nullptr);

    void addMenuItem(const QIcon& icon, const QString& text, int id);
    // Sets the text of the row added with `id` (when the language changes).
    void setMenuItemText(int id, const QString& text);
    int rowCount() const { return rows; }
    QListWidget* list() const { return listWidget; }

signals:
    void menuItemClicked(int id);

public slots:
    void onMenuItemClicked(int menuItemIndex);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QListWidget* listWidget = nullptr;
    int currentHeight = 50;
    int rows = 0;
};
