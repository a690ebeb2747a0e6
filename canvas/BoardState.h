#pragma once

// A board's history as plain data, and its one written form (JSON), shared
// by the crash journal and board files: every item with its points and
// properties, which are painted in which order, which were undone, and the
// items the board goes on drawing with.

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QPoint>
#include <QString>

#include <vector>

class GraphActioner;

struct ItemData {
    int type = 0;
    std::vector<QPoint> points;
    // A stylus's pressure at each point; empty for other strokes.
    std::vector<float> pressures;
    QMap<QString, QString> properties;

    static ItemData of(const GraphActioner& item);
    bool operator==(const ItemData& other) const
    {
        return type == other.type && points == other.points && pressures == other.pressures
            && properties == other.properties;
    }
};

struct BoardState {
    // Item ids are their positions here.
    std::vector<ItemData> items;
    std::vector<int> done;
    std::vector<int> undone;
    // -1 for none.
    int current = -1;
    int select = -1;
    int tool = 0;
    int nextBadge = 0;
    // What shows under the drawing: 0 the snapshot, 1 white, 2 black.
    int backdrop = 0;

    // Whether every id is in range, the painted list starts with a
    // background item and no item is listed twice: what a restored history
    // needs to be sound.
    bool isSound(QString* problem) const;
};

namespace BoardCodec {

// Limits on what a file or journal from elsewhere may ask for.
constexpr int kMaxItems = 1000000;
constexpr int kMaxPoints = 10000000;
constexpr int kMaxPropertyBytes = 1 << 20;

QJsonObject itemToJson(const ItemData& item);
// False, with the reason, for anything but a well-formed item within the limits.
bool itemFromJson(const QJsonObject& json, ItemData* item, QString* problem);

// The whole state.
QJsonObject stateToJson(const BoardState& state);
bool stateFromJson(const QJsonObject& json, BoardState* state, QString* problem);

QJsonArray idsToJson(const std::vector<int>& ids, size_t from = 0);
bool idsFromJson(const QJsonValue& json, std::vector<int>* ids, QString* problem);

} // namespace BoardCodec
