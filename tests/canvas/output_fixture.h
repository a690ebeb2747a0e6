#pragma once

// A real canvas window over a patterned snapshot, where every pixel tells
// where it came from, so a shifted, scaled or cropped picture shows.

#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/Screenview.h"
#include "platform/ScreenCapture.h"

#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class PatternCapture : public ScreenCapture
{
public:
    static QRgb patternAt(int x, int y) { return qRgb(x % 251, y % 241, (x / 251 * 7 + y / 241 * 31) % 256); }

    QPixmap captureScreen(WId, int, int, int width, int height) override
    {
        const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
        QImage image(qRound(width * ratio), qRound(height * ratio), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = patternAt(x, y);
        }
        return QPixmap::fromImage(image);
    }
};

class Board
{
public:
    Board()
    {
        ScreenCapture::setInstance(&capture);
        view = std::make_unique<Screenview>();
        view->toggleVisible();
        view->activateWindow();
        exposed = QTest::qWaitForWindowExposed(view.get());
    }

    ~Board()
    {
        view.reset();
        ScreenCapture::setInstance(nullptr);
    }

    GraphManager& history() const { return *view->manager(); }
    CanvasView& canvas() const { return *view->manager()->canvas(); }
    const QImage& image() const { return canvas().canvasImage; }
    static qreal ratio() { return QGuiApplication::primaryScreen()->devicePixelRatio(); }

    // Logical positions, as the pointer gives them.
    void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(view.get(), button, {}, pos); }
    void move(QPoint pos) { QTest::mouseMove(view.get(), pos); }
    void release(QPoint pos, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseRelease(view.get(), button, {}, pos); }

    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton, int steps = 3)
    {
        press(from, button);
        for (int step = 1; step <= steps; ++step)
            move(from + (to - from) * step / steps);
        release(to, button);
    }

    // Runs `onPopup` on the popup menu a right press opens (the press blocks
    // until the menu closes).
    void rightPress(QPoint pos, std::function<void(QMenu*)> onPopup)
    {
        QTimer::singleShot(0, [onPopup] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QTestPrivate::qtestMouseButtons.setFlag(Qt::RightButton, false);
            onPopup(menu);
            if (menu && menu->isVisible())
                menu->close();
        });
        press(pos, Qt::RightButton);
        QTestPrivate::qtestMouseButtons.setFlag(Qt::RightButton, false);
    }

    // The device-pixel area the user covered with a drag between two logical points.
    static QRect deviceArea(QPoint from, QPoint to)
    {
        const QPoint a(qRound(from.x() * ratio()), qRound(from.y() * ratio()));
        const QPoint b(qRound(to.x() * ratio()), qRound(to.y() * ratio()));
        return QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())), QSize(qAbs(b.x() - a.x()), qAbs(b.y() - a.y())));
    }

    PatternCapture capture;
    std::unique_ptr<Screenview> view;
    bool exposed = false;
};

// Clicks `action` in a popup menu the way a user does.
inline void clickAction(QMenu* menu, QAction* action)
{
    const QPoint at = menu->actionGeometry(action).center();
    QTest::mouseMove(menu, at);
    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
}

inline QAction* actionNamed(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}
