// Writing a board's history as JSON and reading it back, with the checks a
// file from elsewhere needs.

#include "canvas/BoardState.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/ToolTable.h"

#include <QJsonArray>
#include <QJsonValue>

#include <limits>

namespace {

// Coordinates beyond this are no board's: refused rather than carried into
// the painting arithmetic.
constexpr double kMaxCoordinate = 1 << 24;

bool fail(QString* problem, const QString& why)
{
    if (problem)
        *problem = why;
    return false;
}

bool isInt(const QJsonValue& value, double low, double high)
{
    if (!value.isDouble())
        return false;
    const double v = value.toDouble();
    return v >= low && v <= high && v == static_cast<double>(static_cast<qint64>(v));
}

} // namespace

ItemData ItemData::of(const GraphActioner& item)
{
    ItemData data;
    data.type = item.type;
    data.points = item.points;
    data.pressures = item.pressures;
    data.properties = item.properties;
    return data;
}

bool BoardState::isSound(QString* problem) const
{
    const int count = static_cast<int>(items.size());
    std::vector<char> listed(items.size(), 0);
    for (const std::vector<int>* list : {&done, &undone}) {
        for (int id : *list) {
            if (id < 0 || id >= count)
                return fail(problem, QStringLiteral("an item number is out of range"));
            if (listed[static_cast<size_t>(id)]++)
                return fail(problem, QStringLiteral("an item is listed twice"));
        }
    }
    if (done.empty() || items[static_cast<size_t>(done.front())].type != Image)
        return fail(problem, QStringLiteral("the board has no background"));
    if (current < -1 || current >= count || select < -1 || select >= count)
        return fail(problem, QStringLiteral("an item number is out of range"));
    if (select >= 0 && items[static_cast<size_t>(select)].type != SelectArea)
        return fail(problem, QStringLiteral("the selection is not a selection"));
    return true;
}

namespace BoardCodec {

QJsonObject itemToJson(const ItemData& item)
{
    QJsonArray points;
    for (const QPoint& p : item.points) {
        points.append(p.x());
        points.append(p.y());
    }
    QJsonObject properties;
    for (auto it = item.properties.cbegin(); it != item.properties.cend(); ++it)
        properties.insert(it.key(), it.value());
    QJsonObject json;
    json.insert(QStringLiteral("type"), item.type);
    json.insert(QStringLiteral("points"), points);
    if (!item.pressures.empty()) {
        QJsonArray pressures;
        for (float p : item.pressures)
            pressures.append(static_cast<double>(p));
        json.insert(QStringLiteral("pressures"), pressures);
    }
    json.insert(QStringLiteral("properties"), properties);
    return json;
}

bool itemFromJson(const QJsonObject& json, ItemData* item, QString* problem)
{
    const QJsonValue type = json.value(QStringLiteral("type"));
    if (!isInt(type, 0, std::numeric_limits<int>::max()) || !ToolTable::row(type.toInt()))
        return fail(problem, QStringLiteral("an item is of an unknown kind"));
    const QJsonValue points = json.value(QStringLiteral("points"));
    const QJsonValue properties = json.value(QStringLiteral("properties"));
    if (!points.isArray() || !properties.isObject())
        return fail(problem, QStringLiteral("an item is incomplete"));
    const QJsonArray coordinates = points.toArray();
    if (coordinates.size() % 2 != 0 || coordinates.size() / 2 > kMaxPoints)
        return fail(problem, QStringLiteral("an item has a broken list of points"));
    ItemData read;
    read.type = type.toInt();
    read.points.reserve(static_cast<size_t>(coordinates.size() / 2));
    for (int i = 0; i < coordinates.size(); i += 2) {
        const QJsonValue x = coordinates.at(i);
        const QJsonValue y = coordinates.at(i + 1);
        if (!isInt(x, -kMaxCoordinate, kMaxCoordinate) || !isInt(y, -kMaxCoordinate, kMaxCoordinate))
            return fail(problem, QStringLiteral("an item has a point off any board"));
        read.points.emplace_back(x.toInt(), y.toInt());
    }
    const QJsonValue pressures = json.value(QStringLiteral("pressures"));
    if (!pressures.isUndefined()) {
        const QJsonArray values = pressures.toArray();
        if (!pressures.isArray() || values.size() != int(read.points.size()))
            return fail(problem, QStringLiteral("an item has a broken list of pressures"));
        read.pressures.reserve(read.points.size());
        for (const QJsonValue& value : values) {
            const double p = value.toDouble(-1);
            if (!value.isDouble() || !(p >= 0 && p <= 1))
                return fail(problem, QStringLiteral("an item has a pressure out of range"));
            read.pressures.push_back(static_cast<float>(p));
        }
    }
    const QJsonObject named = properties.toObject();
    int bytes = 0;
    for (auto it = named.constBegin(); it != named.constEnd(); ++it) {
        if (!it.value().isString())
            return fail(problem, QStringLiteral("an item has a property that is not text"));
        bytes += it.key().size() + it.value().toString().size();
        if (bytes > kMaxPropertyBytes)
            return fail(problem, QStringLiteral("an item's properties are too large"));
        read.properties.insert(it.key(), it.value().toString());
    }
    *item = std::move(read);
    return true;
}

QJsonArray idsToJson(const std::vector<int>& ids, size_t from)
{
    QJsonArray json;
    for (size_t i = from; i < ids.size(); ++i)
        json.append(ids[i]);
    return json;
}

bool idsFromJson(const QJsonValue& json, std::vector<int>* ids, QString* problem)
{
    if (!json.isArray())
        return fail(problem, QStringLiteral("a list of items is missing"));
    const QJsonArray list = json.toArray();
    if (list.size() > kMaxItems)
        return fail(problem, QStringLiteral("a list of items is too long"));
    ids->clear();
    ids->reserve(static_cast<size_t>(list.size()));
    for (const QJsonValue& id : list) {
        if (!isInt(id, 0, kMaxItems - 1))
            return fail(problem, QStringLiteral("an item number is out of range"));
        ids->push_back(id.toInt());
    }
    return true;
}

QJsonObject stateToJson(const BoardState& state)
{
    QJsonArray items;
    for (const ItemData& item : state.items)
        items.append(itemToJson(item));
    QJsonObject json;
    json.insert(QStringLiteral("items"), items);
    json.insert(QStringLiteral("done"), idsToJson(state.done));
    json.insert(QStringLiteral("undone"), idsToJson(state.undone));
    json.insert(QStringLiteral("current"), state.current);
    json.insert(QStringLiteral("select"), state.select);
    json.insert(QStringLiteral("tool"), state.tool);
    json.insert(QStringLiteral("nextBadge"), state.nextBadge);
    json.insert(QStringLiteral("backdrop"), state.backdrop);
    return json;
}

bool stateFromJson(const QJsonObject& json, BoardState* state, QString* problem)
{
    const QJsonValue items = json.value(QStringLiteral("items"));
    if (!items.isArray() || items.toArray().size() > kMaxItems)
        return fail(problem, QStringLiteral("the list of items is missing or too long"));
    BoardState read;
    const QJsonArray list = items.toArray();
    read.items.reserve(static_cast<size_t>(list.size()));
    qint64 points = 0;
    for (const QJsonValue& entry : list) {
        ItemData item;
        if (!entry.isObject())
            return fail(problem, QStringLiteral("an item is broken"));
        if (!itemFromJson(entry.toObject(), &item, problem))
            return false;
        points += static_cast<qint64>(item.points.size());
        if (points > kMaxPoints)
            return fail(problem, QStringLiteral("the board has too many points"));
        read.items.push_back(std::move(item));
    }
    if (!idsFromJson(json.value(QStringLiteral("done")), &read.done, problem)
        || !idsFromJson(json.value(QStringLiteral("undone")), &read.undone, problem))
        return false;
    for (const char* key : {"current", "select", "tool", "nextBadge"}) {
        if (!isInt(json.value(QLatin1String(key)), -1, kMaxItems))
            return fail(problem, QStringLiteral("the board's state is broken"));
    }
    read.current = json.value(QStringLiteral("current")).toInt();
    read.select = json.value(QStringLiteral("select")).toInt();
    read.tool = json.value(QStringLiteral("tool")).toInt();
    read.nextBadge = json.value(QStringLiteral("nextBadge")).toInt();
    // Boards written before backdrops show their snapshot.
    const QJsonValue backdrop = json.value(QStringLiteral("backdrop"));
    if (!backdrop.isUndefined() && !isInt(backdrop, 0, 2))
        return fail(problem, QStringLiteral("the board's backdrop is unknown"));
    read.backdrop = backdrop.toInt(0);
    if (!read.isSound(problem))
        return false;
    *state = std::move(read);
    return true;
}

} // namespace BoardCodec
