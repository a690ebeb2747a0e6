// Recording a board's history into its crash journal, writing the journal
// off the GUI thread, and reading it back after a crash.

#include "canvas/BoardJournal.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/ItemFactory.h"
#include "platform/DiskSync.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>

namespace {

constexpr char kSnapshot = 'S';
constexpr char kChange = 'C';
// A snapshot of a larger screen than any made is not a journal of ours.
constexpr int kMaxSide = 32768;
constexpr quint32 kMaxRecord = 1u << 30;

quint32 checksum(char kind, const QByteArray& payload)
{
    uLong sum = crc32(0L, Z_NULL, 0);
    sum = crc32(sum, reinterpret_cast<const Bytef*>(&kind), 1);
    sum = crc32(sum, reinterpret_cast<const Bytef*>(payload.constData()), static_cast<uInt>(payload.size()));
    return static_cast<quint32>(sum);
}

// How much of `before` `now` keeps, and the ids of what follows; whether they differ.
bool listChange(const std::vector<const GraphActioner*>& before, const std::vector<GraphActioner*>& now,
                const std::unordered_map<const GraphActioner*, int>& ids, size_t* keep, std::vector<int>* tail)
{
    const size_t common = std::min(before.size(), now.size());
    *keep = static_cast<size_t>(std::mismatch(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(common),
                                              now.begin())
                                    .first
                                - before.begin());
    for (size_t i = *keep; i < now.size(); ++i) {
        const auto found = ids.find(now[i]);
        tail->push_back(found == ids.end() ? -1 : found->second);
    }
    return *keep != before.size() || *keep != now.size();
}

QJsonArray listJson(size_t keep, const std::vector<int>& tail)
{
    QJsonArray ids;
    for (int id : tail)
        ids.append(id);
    return QJsonArray{static_cast<qint64>(keep), ids};
}

int idOf(const std::unordered_map<const GraphActioner*, int>& ids, const GraphActioner* item)
{
    const auto found = ids.find(item);
    return found == ids.end() ? -1 : found->second;
}

// Applies one list change [keep, [ids]] to `list`.
bool applyList(const QJsonValue& change, std::vector<int>* list)
{
    const QJsonArray pair = change.toArray();
    if (pair.size() != 2 || !pair.at(0).isDouble())
        return false;
    const double keep = pair.at(0).toDouble();
    if (keep < 0 || keep > static_cast<double>(list->size()))
        return false;
    std::vector<int> tail;
    if (!BoardCodec::idsFromJson(pair.at(1), &tail, nullptr))
        return false;
    list->resize(static_cast<size_t>(keep));
    list->insert(list->end(), tail.begin(), tail.end());
    return list->size() <= static_cast<size_t>(BoardCodec::kMaxItems);
}

} // namespace

class BoardJournal::File
{
public:
    QFile file;
};

QString BoardJournal::defaultPath()
{
    return platform::userStateFolder() + QStringLiteral("/Scribbloom/board.journal");
}

const QByteArray& BoardJournal::fileMagic()
{
    static const QByteArray magic("SCRIBBLOOM-JOURNAL 1\n");
    return magic;
}

QByteArray BoardJournal::frame(char kind, const QByteArray& payload)
{
    QByteArray record;
    record.reserve(payload.size() + 9);
    record.append(kind);
    uchar length[4];
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), length);
    record.append(reinterpret_cast<const char*>(length), 4);
    record.append(payload);
    uchar sum[4];
    qToLittleEndian<quint32>(checksum(kind, payload), sum);
    record.append(reinterpret_cast<const char*>(sum), 4);
    return record;
}

BoardJournal::BoardJournal(const QString& path)
    : path(path)
    , file(new File)
{
    threaded = writer.start([this] { writeLoop(); });
}

BoardJournal::~BoardJournal()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    writer.join();
    delete file;
}

void BoardJournal::enqueue(Job job)
{
    if (!threaded) {
        // No thread to write on: written here, still before the next change.
        writeJob(job);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        jobs.push_back(std::move(job));
    }
    wake.notify_one();
}

void BoardJournal::writeLoop()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !jobs.empty(); });
        if (jobs.empty() && stopping)
            return;
        busy = true;
        std::deque<Job> batch;
        batch.swap(jobs);
        lock.unlock();
        for (Job& job : batch)
            writeJob(job);
        if (file->file.isOpen())
            platform::syncToDisk(file->file);
        lock.lock();
        busy = false;
        drained.notify_all();
    }
}

void BoardJournal::writeJob(Job& job)
{
    QFile& out = file->file;
    if (job.remove || job.restart) {
        out.close();
        QFile::remove(path);
        if (job.remove)
            return;
        const QString folder = QFileInfo(path).absolutePath();
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        out.setFileName(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            qWarning("The board's journal cannot be written at %s: %s", qPrintable(path), qPrintable(out.errorString()));
            return;
        }
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // Fast to write, and read back only after a crash.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter encoder(&buffer, "png");
        encoder.setCompression(1);
        encoder.write(job.snapshot);
        out.write(fileMagic());
        out.write(frame(kSnapshot, job.header + '\n' + png));
    }
    if (job.hasChange)
        job.data = encode(job.change);
    if (out.isOpen() && !job.data.isEmpty())
        out.write(job.data);
}

void BoardJournal::flush()
{
    if (!threaded) {
        if (file->file.isOpen())
            platform::syncToDisk(file->file);
        return;
    }
    std::unique_lock<std::mutex> lock(mutex);
    drained.wait(lock, [this] { return jobs.empty() && !busy; });
}

void BoardJournal::discard()
{
    started = false;
    ids.clear();
    written.clear();
    Job job;
    job.remove = true;
    enqueue(std::move(job));
}

void BoardJournal::begin(const ScreenSnapshot& snapshot, const QImage& background, const GraphManager& history)
{
    started = true;
    ids.clear();
    written.clear();
    lastDone.clear();
    lastUndone.clear();
    lastCurrent = lastSelect = lastTool = lastBadge = lastBackdrop = -1;

    QJsonObject header;
    header.insert(QStringLiteral("x"), snapshot.geometry.x());
    header.insert(QStringLiteral("y"), snapshot.geometry.y());
    header.insert(QStringLiteral("width"), snapshot.geometry.width());
    header.insert(QStringLiteral("height"), snapshot.geometry.height());
    header.insert(QStringLiteral("ratio"), snapshot.ratio);
    header.insert(QStringLiteral("started"), QDateTime::currentDateTime().toString(Qt::ISODate));
    Job job;
    job.restart = true;
    job.header = QJsonDocument(header).toJson(QJsonDocument::Compact);
    job.snapshot = background;
    enqueue(std::move(job));
    record(history);
}

void BoardJournal::record(const GraphManager& history)
{
    if (!started)
        return;
    const auto& all = history.allItems();
    Job job;
    job.hasChange = true;
    Change& change = job.change;
    const size_t known = ids.size();
    for (size_t i = known; i < all.size(); ++i) {
        ids.emplace(all[i].get(), static_cast<int>(i));
        ItemData data = ItemData::of(*all[i]);
        change.items.emplace_back(static_cast<int>(i), data);
        written[static_cast<int>(i)] = std::move(data);
    }
    // Only the current item and the selection change in place.
    const int current = idOf(ids, history.current());
    const int select = idOf(ids, history.selection());
    for (int id : {current, select, lastCurrent}) {
        if (id < 0 || static_cast<size_t>(id) >= known)
            continue;
        const auto cached = written.find(id);
        ItemData now = ItemData::of(*all[static_cast<size_t>(id)]);
        if (cached != written.end() && cached->second == now)
            continue;
        change.items.emplace_back(id, now);
        written[id] = std::move(now);
    }
    // Whatever can no longer change is forgotten.
    for (auto it = written.begin(); it != written.end();) {
        it = it->first == current || it->first == select ? std::next(it) : written.erase(it);
    }

    change.doneChanged = listChange(lastDone, history.painted(), ids, &change.doneKeep, &change.doneTail);
    change.undoneChanged = listChange(lastUndone, history.undone(), ids, &change.undoneKeep, &change.undoneTail);
    change.current = current;
    change.select = select;
    change.tool = history.currentTool;
    change.badge = ItemFactory::nextBadge;
    change.backdrop = static_cast<int>(history.backdrop());
    if (change.items.empty() && !change.doneChanged && !change.undoneChanged && current == lastCurrent
        && select == lastSelect && change.tool == lastTool && change.badge == lastBadge
        && change.backdrop == lastBackdrop)
        return;
    // The lists only ever change at their ends: only that much is copied.
    lastDone.resize(change.doneKeep);
    lastDone.insert(lastDone.end(), history.painted().begin() + static_cast<std::ptrdiff_t>(change.doneKeep),
                    history.painted().end());
    lastUndone.resize(change.undoneKeep);
    lastUndone.insert(lastUndone.end(), history.undone().begin() + static_cast<std::ptrdiff_t>(change.undoneKeep),
                      history.undone().end());
    lastCurrent = current;
    lastSelect = select;
    lastTool = change.tool;
    lastBadge = change.badge;
    lastBackdrop = change.backdrop;
    enqueue(std::move(job));
}

QByteArray BoardJournal::encode(const Change& change)
{
    QJsonObject json;
    if (!change.items.empty()) {
        QJsonArray items;
        for (const auto& [id, data] : change.items)
            items.append(QJsonArray{id, BoardCodec::itemToJson(data)});
        json.insert(QStringLiteral("items"), items);
    }
    if (change.doneChanged)
        json.insert(QStringLiteral("done"), listJson(change.doneKeep, change.doneTail));
    if (change.undoneChanged)
        json.insert(QStringLiteral("undone"), listJson(change.undoneKeep, change.undoneTail));
    json.insert(QStringLiteral("current"), change.current);
    json.insert(QStringLiteral("select"), change.select);
    json.insert(QStringLiteral("tool"), change.tool);
    json.insert(QStringLiteral("nextBadge"), change.badge);
    json.insert(QStringLiteral("backdrop"), change.backdrop);
    return frame(kChange, QJsonDocument(json).toJson(QJsonDocument::Compact));
}

bool BoardJournal::read(const QString& path, Contents* contents, QString* problem)
{
    const auto fail = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return false;
    };
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("there is no journal"));
    const QByteArray bytes = in.readAll();
    if (!bytes.startsWith(fileMagic()))
        return fail(QStringLiteral("the file is not a board journal"));
    qsizetype at = fileMagic().size();
    Contents read;
    bool haveSnapshot = false;
    while (bytes.size() - at >= 9) {
        const char kind = bytes.at(at);
        const quint32 length = qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData() + at + 1));
        if (length > kMaxRecord || static_cast<qsizetype>(length) > bytes.size() - at - 9)
            break; // cut off
        const QByteArray payload = bytes.mid(at + 5, static_cast<qsizetype>(length));
        const quint32 sum = qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData() + at + 5 + length));
        if (sum != checksum(kind, payload))
            break; // cut off or damaged: what follows cannot be trusted
        at += 9 + static_cast<qsizetype>(length);
        if (kind == kSnapshot && !haveSnapshot) {
            const int split = payload.indexOf('\n');
            const QJsonObject header = QJsonDocument::fromJson(payload.left(split)).object();
            QBuffer png;
            png.setData(payload.mid(split + 1));
            QImageReader reader(&png, "png");
            const QSize size = reader.size();
            if (split < 0 || !size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide)
                return fail(QStringLiteral("the journal's snapshot is damaged"));
            const QImage image = reader.read();
            if (image.isNull())
                return fail(QStringLiteral("the journal's snapshot is damaged"));
            read.snapshot.pixels = QPixmap::fromImage(image);
            read.snapshot.geometry = QRect(header.value(QStringLiteral("x")).toInt(),
                                           header.value(QStringLiteral("y")).toInt(),
                                           header.value(QStringLiteral("width")).toInt(),
                                           header.value(QStringLiteral("height")).toInt());
            read.snapshot.ratio = header.value(QStringLiteral("ratio")).toDouble(1.0);
            read.started = QDateTime::fromString(header.value(QStringLiteral("started")).toString(), Qt::ISODate);
            haveSnapshot = true;
            continue;
        }
        if (kind != kChange || !haveSnapshot)
            break;
        const QJsonObject change = QJsonDocument::fromJson(payload).object();
        BoardState& state = read.state;
        bool sound = true;
        for (const QJsonValue& entry : change.value(QStringLiteral("items")).toArray()) {
            const QJsonArray pair = entry.toArray();
            const int id = pair.at(0).toInt(-1);
            ItemData item;
            if (pair.size() != 2 || id < 0 || id > static_cast<int>(state.items.size()) || id >= BoardCodec::kMaxItems
                || !BoardCodec::itemFromJson(pair.at(1).toObject(), &item, nullptr)) {
                sound = false;
                break;
            }
            if (id == static_cast<int>(state.items.size()))
                state.items.push_back(std::move(item));
            else
                state.items[static_cast<size_t>(id)] = std::move(item);
        }
        if (change.contains(QStringLiteral("done")))
            sound = sound && applyList(change.value(QStringLiteral("done")), &state.done);
        if (change.contains(QStringLiteral("undone")))
            sound = sound && applyList(change.value(QStringLiteral("undone")), &state.undone);
        if (!sound)
            return fail(QStringLiteral("the journal is damaged"));
        state.current = change.value(QStringLiteral("current")).toInt(-1);
        state.select = change.value(QStringLiteral("select")).toInt(-1);
        state.tool = change.value(QStringLiteral("tool")).toInt(0);
        state.nextBadge = change.value(QStringLiteral("nextBadge")).toInt(0);
        const int backdrop = change.value(QStringLiteral("backdrop")).toInt(0);
        state.backdrop = backdrop >= 0 && backdrop <= 2 ? backdrop : 0;
    }
    if (!haveSnapshot)
        return fail(QStringLiteral("the journal holds no board"));
    if (!read.state.isSound(problem))
        return false;
    *contents = std::move(read);
    return true;
}
