#pragma once

// Drives a real canvas window the way a user does: input goes through the
// window system layer (QTEST_QPA_MOUSE_HANDLING), so events reach whichever
// widget lies under the pointer, popups included.

#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/Screenview.h"
#include "platform/ScreenCapture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

// The board's snapshot in tests: a known colour instead of the real screen.
class SolidCapture : public ScreenCapture
{
public:
    static QColor snapshotColor() { return QColor(40, 80, 120); }

    QPixmap captureScreen(WId, int, int, int width, int height) override
    {
        const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
        QPixmap pixmap(qRound(width * ratio), qRound(height * ratio));
        pixmap.fill(snapshotColor());
        ++captures;
        return pixmap;
    }

    int captures = 0;
};

class CanvasHarness
{
public:
    CanvasHarness()
    {
        ScreenCapture::setInstance(&capture);
        view = std::make_unique<Screenview>();
        view->toggleVisible();
        view->activateWindow();
        exposed = QTest::qWaitForWindowExposed(view.get());
    }

    ~CanvasHarness()
    {
        view.reset();
        ScreenCapture::setInstance(nullptr);
    }

    GraphManager& history() const { return *view->manager(); }
    const QImage& image() const { return view->manager()->canvas()->canvasImage; }
    QColor pixel(int x, int y) const { return image().pixelColor(x, y); }
    // What the window shows: the board with the marquee over it.
    QImage shownWindow() const { return view->grab().toImage(); }

    // Logical positions, as the user's pointer gives them.
    void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(view.get(), button, {}, pos); }
    void move(QPoint pos) { QTest::mouseMove(view.get(), pos); }
    void release(QPoint pos, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseRelease(view.get(), button, {}, pos); }
    void click(QPoint pos) { press(pos); release(pos); }

    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        press(from, button);
        for (int step = 1; step <= 3; ++step) {
            move(from + (to - from) * step / 3);
        }
        release(to, button);
    }

    // A filled rectangle in an opaque colour, dragged from `from` to `to`.
    void drawBlock(QPoint from, QPoint to, QColor color)
    {
        view->selectRect(true);
        view->setPenColor(color.red(), color.green(), color.blue(), 255);
        drag(from, to);
    }

    // A right press; reports which popup it opened and closes it, as a user
    // pressing Escape would (the popup took the button's release).
    QMenu* rightPressOpening(QPoint pos)
    {
        QPointer<QMenu> opened;
        QTimer::singleShot(0, [&opened] {
            opened = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QTestPrivate::qtestMouseButtons.setFlag(Qt::RightButton, false);
            if (opened) {
                opened->close();
            }
        });
        press(pos, Qt::RightButton);
        QTestPrivate::qtestMouseButtons.setFlag(Qt::RightButton, false);
        return opened.data();
    }

    // What the user saw of the last question answered through answerNextQuestion.
    struct Question {
        bool asked = false;
        QString title;
        QStringList texts;
    };

    // Answers the next modal question by clicking the button of `role`;
    // any role the box does not offer closes it instead.
    static void answerNextQuestion(QDialogButtonBox::ButtonRole role, Question* seen)
    {
        QTimer::singleShot(0, [role, seen] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) {
                return;
            }
            seen->asked = true;
            seen->title = dialog->windowTitle();
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                seen->texts.append(label->text());
            }
            for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
                for (QAbstractButton* button : box->buttons()) {
                    if (box->buttonRole(button) == role) {
                        button->click();
                        return;
                    }
                }
            }
            dialog->close();
        });
    }

    SolidCapture capture;
    std::unique_ptr<Screenview> view;
    bool exposed = false;
};

inline bool sameColor(const QColor& a, const QColor& b)
{
    return a.rgba() == b.rgba();
}

// Undoes `undos` steps and then redoes `redos` on the original board and on
// a board made from it, which must look the same after every step. Check
// QTest::currentTestFailed() after it.
inline void undoAndRedoAlike(CanvasHarness& original, Screenview& copy, int undos, int redos)
{
    for (int step = 0; step < undos + redos; ++step) {
        if (step < undos) {
            original.view->undo();
            copy.undo();
        } else {
            original.view->redo();
            copy.redo();
        }
        QCOMPARE(copy.manager()->canvas()->canvasImage, original.image().copy());
    }
}
