#pragma once

// Shared by the composition benchmark and the memory driver: a synthetic
// screen behind the capture seam, and boards filled with many items of
// mixed kinds drawn the way the canvas window draws them.

#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "platform/ScreenCapture.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRandomGenerator>
#include <QSize>
#include <QString>

#include <algorithm>
#include <cstring>

// Gives back a fixed picture of the chosen size, copied out row by row
// into a fresh image as a real grab copies the server's pixels.
class SyntheticScreen : public ScreenCapture {
public:
    explicit SyntheticScreen(QSize size)
        : source(size, QImage::Format_RGB32)
    {
        QRandomGenerator random(7);
        for (int y = 0; y < source.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(source.scanLine(y));
            for (int x = 0; x < source.width(); ++x) {
                // Soft gradients with some noise, like a desktop.
                line[x] = qRgb((x * 255 / source.width() + (random.generate() & 15)) & 255,
                               (y * 255 / source.height()) & 255, 160);
            }
        }
    }

    QPixmap captureScreen(WId, int, int, int, int) override
    {
        QImage grab(source.size(), QImage::Format_RGB32);
        for (int y = 0; y < grab.height(); ++y) {
            std::memcpy(grab.scanLine(y), source.constScanLine(y), static_cast<size_t>(grab.bytesPerLine()));
        }
        return QPixmap::fromImage(grab);
    }

    QImage source;
};

// Draws random items of every drawing kind, spread over the board.
class BoardFiller {
public:
    BoardFiller(GraphManager& manager, QSize board, quint32 seed = 1)
        : manager(manager)
        , board(board)
        , random(seed)
    {
    }

    // One item of a kind chosen by `index` (so fills are reproducible),
    // begun, given its pen and points, and composed once like a finished drag.
    void drawItem(int index, int strokePoints = 40)
    {
        static const int kinds[] = { Pen, Pen, Pen, Rect, BrushRect, Line, Ellipse, BrushEllipse,
                                     LineArrow, MarkingPen, Text, RightSymbols, WrongSymbols, Erase };
        const int kind = kinds[index % static_cast<int>(sizeof(kinds) / sizeof(kinds[0]))];
        GraphActioner* item = begin(kind);
        if (kind == Text) {
            const QPoint at = somewhere();
            manager.addPoint(at.x(), at.y());
            manager.setText(QStringLiteral("note %1").arg(index));
            return;
        }
        QPoint at = somewhere();
        const int points = (kind == Pen || kind == Erase) ? strokePoints : 2;
        const int reach = std::max(board.width(), board.height()) / 12;
        for (int i = 0; i + 1 < points; ++i) {
            item->addPoint(at);
            at += QPoint(random.bounded(-reach / 8, reach / 8 + 1), random.bounded(-reach / 8, reach / 8 + 1));
            if (kind != Pen && kind != Erase) {
                at += QPoint(random.bounded(-reach, reach + 1), random.bounded(-reach, reach + 1));
            }
        }
        manager.addPoint(at.x(), at.y());
    }

    void fill(int count, int strokePoints = 40)
    {
        for (int i = 0; i < count; ++i) {
            drawItem(i, strokePoints);
        }
    }

    // Begins an item with a random pen, as a press does.
    GraphActioner* begin(int kind)
    {
        manager.currentTool = kind;
        GraphActioner* item = manager.beginAction(-1);
        static const int alphas[] = { 255, 255, 160, 90 };
        item->setProperty(QStringLiteral("size"), random.bounded(1, 9));
        item->setProperty(QStringLiteral("r"), random.bounded(256));
        item->setProperty(QStringLiteral("g"), random.bounded(256));
        item->setProperty(QStringLiteral("b"), random.bounded(256));
        item->setProperty(QStringLiteral("a"), alphas[random.bounded(4)]);
        if (kind == MarkingPen) {
            item->setProperty(QStringLiteral("number"), badge++);
        }
        return item;
    }

    QPoint somewhere() { return QPoint(random.bounded(board.width()), random.bounded(board.height())); }

private:
    GraphManager& manager;
    QSize board;
    QRandomGenerator random;
    int badge = 0;
};
