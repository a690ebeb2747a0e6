#include "canvas/GraphManager.h"

#include "canvas/BoardState.h"
#include "canvas/CanvasView.h"
#include "canvas/Compositor.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/SelectAreaGraph.h"
#include "canvas/ScreenSnapshot.h"

#include <QDebug>
#include <QPoint>
#include <QRectF>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

GraphManager::GraphManager(Screenview* view, int checkpointSpacing)
    : GraphManager(view, std::make_unique<CanvasView>(), checkpointSpacing)
{
}

GraphManager::GraphManager(Screenview* view, const ScreenSnapshot& snapshot, int checkpointSpacing)
    : GraphManager(view, std::make_unique<CanvasView>(snapshot), checkpointSpacing)
{
}

GraphManager::GraphManager(Screenview* view, std::unique_ptr<CanvasView> canvas, int checkpointSpacing)
    : canvasView(std::move(canvas))
    , spacing(checkpointSpacing)
{
    canvasView->registerGraphs();
    canvasView->attachView(view);
    // The canvas image already equals the snapshot, so no replay is needed yet.
    currentActioner = createItem(Image);
    doneList.push_back(currentActioner);
    compositor = std::make_unique<Compositor>(*canvasView, checkpointSpacing);
    compositor->replayed(doneList, {});
    // The window paints the whole board when it is first shown anyway.
    compositor->takeDirty();
}

GraphManager::~GraphManager() = default;

GraphActioner* GraphManager::createItem(int type)
{
    items.push_back(std::make_unique<GraphActioner>());
    GraphActioner* item = items.back().get();
    item->attach(canvasView.get());
    item->type = type;
    return item;
}

GraphActioner* GraphManager::beginAction(int type)
{
    if (type < 0) {
        type = currentTool;
    }
    if (type == SelectArea && selectActioner) {
        // The one select item keeps its place in whichever list holds it.
        selectActioner->points.clear();
        currentActioner = selectActioner;
        return currentActioner;
    }
    currentActioner = createItem(type);
    if (type == SelectArea) {
        selectActioner = currentActioner;
    }
    // Undone items are kept: a later redo puts them back on top.
    doneList.push_back(currentActioner);
    return currentActioner;
}

void GraphManager::addPoint(int x, int y, double pressure)
{
    if (!currentActioner) {
        return;
    }
    GraphActioner& item = *currentActioner;
    // Pressure goes with every point of a stroke or with none.
    if (pressure >= 0 && item.pressures.size() == item.points.size()) {
        item.pressures.push_back(static_cast<float>(pressure));
    } else if (!item.pressures.empty()) {
        item.pressures.push_back(item.pressures.back());
    }
    item.addPoint(QPoint(x, y));
    compose();
}

void GraphManager::undo()
{
    if (doneList.size() < 2) {
        return;
    }
    undoneList.push_back(doneList.back());
    doneList.pop_back();
    compose();
}

void GraphManager::redo()
{
    if (undoneList.empty()) {
        return;
    }
    doneList.push_back(undoneList.back());
    undoneList.pop_back();
    compose();
}

void GraphManager::setText(const QString& text)
{
    if (!currentActioner || currentActioner->type != Text) {
        return;
    }
    currentActioner->setProperty(QStringLiteral("text"), text);
    qDebug() << static_cast<const void*>(currentActioner) << "text----> " << text;
    compose();
}

void GraphManager::clear()
{
    // Nothing drawn since the background or the last clear: an extra step
    // would only make undo look broken.
    if (doneList.size() < 2 || doneList.back()->type == Image) {
        return;
    }
    // A second background item paints the snapshot over everything before
    // it, so the clear is one ordinary history step: undo takes it away
    // and the drawing is back, redo clears again.
    currentActioner = createItem(Image);
    doneList.push_back(currentActioner);
    // The old select item now lies under the clear; a later selection
    // starts a fresh one on top so its marquee can be seen.
    selectActioner = nullptr;
    compose();
}

BoardState GraphManager::state() const
{
    BoardState state;
    std::unordered_map<const GraphActioner*, int> ids;
    state.items.reserve(items.size());
    for (const auto& item : items) {
        ids.emplace(item.get(), static_cast<int>(state.items.size()));
        state.items.push_back(ItemData::of(*item));
    }
    const auto idOf = [&ids](const GraphActioner* item) {
        const auto found = ids.find(item);
        return found == ids.end() ? -1 : found->second;
    };
    for (const GraphActioner* item : doneList)
        state.done.push_back(idOf(item));
    for (const GraphActioner* item : undoneList)
        state.undone.push_back(idOf(item));
    state.current = idOf(currentActioner);
    state.select = idOf(selectActioner);
    state.tool = currentTool;
    state.backdrop = static_cast<int>(shownBackdrop);
    return state;
}

void GraphManager::restore(const BoardState& state)
{
    items.clear();
    doneList.clear();
    undoneList.clear();
    for (const ItemData& data : state.items) {
        GraphActioner* item = createItem(data.type);
        item->points = data.points;
        item->pressures = data.pressures;
        item->properties = data.properties;
    }
    const auto at = [this](int id) { return id >= 0 && id < int(items.size()) ? items[size_t(id)].get() : nullptr; };
    for (int id : state.done)
        doneList.push_back(at(id));
    for (int id : state.undone)
        undoneList.push_back(at(id));
    currentActioner = at(state.current);
    selectActioner = at(state.select);
    currentTool = state.tool;
    marqueeWalk = {};
    const Backdrop wanted = state.backdrop == 1 ? Backdrop::White : state.backdrop == 2 ? Backdrop::Black : Backdrop::Snapshot;
    if (wanted != shownBackdrop) {
        setBackdrop(wanted);
        return;
    }
    // The compositor's layers knew the old items: it starts afresh.
    repaintAll();
}

void GraphManager::repaintAll()
{
    compositor.reset();
    compositor = std::make_unique<Compositor>(*canvasView, spacing);
    for (GraphActioner* item : doneList) {
        item->notify();
    }
    compositor->replayed(doneList, {});
}

const QImage& GraphManager::snapshot() const
{
    return shownBackdrop == Backdrop::Snapshot ? canvasView->background : keptSnapshot;
}

void GraphManager::setBackdrop(Backdrop backdrop)
{
    if (backdrop == shownBackdrop) {
        return;
    }
    QImage& background = canvasView->background;
    if (shownBackdrop == Backdrop::Snapshot) {
        keptSnapshot = background;
    }
    if (backdrop == Backdrop::Snapshot) {
        background = keptSnapshot;
        keptSnapshot = QImage();
    } else if (!keptSnapshot.isNull()) {
        // The same size, format and ratio as the snapshot, so the board
        // composes it as it does the snapshot.
        QImage plain(keptSnapshot.size(), keptSnapshot.format());
        plain.setDevicePixelRatio(keptSnapshot.devicePixelRatio());
        plain.setDotsPerMeterX(keptSnapshot.dotsPerMeterX());
        plain.setDotsPerMeterY(keptSnapshot.dotsPerMeterY());
        plain.fill(backdrop == Backdrop::White ? Qt::white : Qt::black);
        background = plain;
    }
    shownBackdrop = backdrop;
    // Every item is painted again over the new background: the background
    // item paints it, the eraser reads it.
    repaintAll();
}

void GraphManager::discardCurrent(int type)
{
    if (!currentActioner || currentActioner->type != type || currentActioner == selectActioner || doneList.empty()
        || doneList.back() != currentActioner) {
        return;
    }
    // The item itself lives on with the others; nothing refers to it again.
    doneList.pop_back();
    currentActioner = nullptr;
    compose();
}

QRect GraphManager::selectionRect() const
{
    if (!currentActioner || currentActioner != selectActioner) {
        return QRect(0, 0, 0, 0);
    }
    return SelectAreaGraph::area(*currentActioner);
}

QRect GraphManager::visibleSelection() const
{
    // Asked for at every pointer move: the walk down the history is done
    // again only when its top changed (it only ever changes at the top).
    const GraphActioner* top = doneList.empty() ? nullptr : doneList.back();
    if (doneList.size() != marqueeWalk.size || top != marqueeWalk.top) {
        marqueeWalk = { doneList.size(), top, nullptr };
        // The first item is the background, so the walk always ends.
        for (auto it = doneList.rbegin(); it != doneList.rend() && (*it)->type != Image; ++it) {
            if ((*it)->type == SelectArea) {
                marqueeWalk.select = *it;
                break;
            }
        }
    }
    if (!marqueeWalk.select) {
        return QRect();
    }
    const QRect area = SelectAreaGraph::area(*marqueeWalk.select);
    return IGraph::spanBetween(area.topLeft(), area.topLeft() + QPoint(area.width(), area.height()));
}

bool GraphManager::selectionContains(const QPoint& point) const
{
    // The selection the board shows is the one the menus act on.
    visibleSelection();
    return marqueeWalk.select && SelectAreaGraph::area(*marqueeWalk.select).contains(point);
}

void GraphManager::replay()
{
    for (GraphActioner* item : doneList) {
        item->notify();
    }
    compositor->replayed(doneList, { currentActioner, selectActioner });
}

void GraphManager::compose()
{
    // Only the current item and the select item are ever changed in place.
    compositor->compose(doneList, { currentActioner, selectActioner });
}

QRect GraphManager::takeChangedArea()
{
    return compositor->takeDirty();
}

void GraphManager::zoomIn()
{
    canvasView->zoomIn();
}

void GraphManager::zoomOut()
{
    canvasView->zoomOut();
}

void GraphManager::resetZoom()
{
    canvasView->resetZoom();
}

void GraphManager::setOffset(int x, int y)
{
    canvasView->setOffset(x, y);
}

void GraphManager::print()
{
    canvasView->print();
}

void GraphManager::saveAll()
{
    canvasView->saveAll();
}

void GraphManager::copyAll()
{
    canvasView->copyAll();
}

void GraphManager::copySelection()
{
    canvasView->copyRect(QRectF(visibleSelection()));
}

void GraphManager::saveSelection()
{
    canvasView->saveRect(QRectF(visibleSelection()));
}
