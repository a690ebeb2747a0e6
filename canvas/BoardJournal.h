#pragma once

// The crash journal of the open board: its snapshot once, then every change
// of its history, appended to a file in the user's state folder by a thread
// of its own and put on the disk within a second, so that a board survives
// a crash, a kill or a power loss. A record cut off by the end of the file
// is left out, with everything after it.

#include "canvas/BoardState.h"
#include "canvas/ScreenSnapshot.h"
#include "platform/HelperThread.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

class GraphActioner;
class GraphManager;

class BoardJournal
{
public:
    // "Scribbloom/board.journal" in the user's state folder.
    static QString defaultPath();

    explicit BoardJournal(const QString& path = defaultPath());
    // Writes what is still queued.
    ~BoardJournal();
    BoardJournal(const BoardJournal&) = delete;
    BoardJournal& operator=(const BoardJournal&) = delete;

    // Starts the file anew for a board: its snapshot and its whole history.
    void begin(const ScreenSnapshot& snapshot, const QImage& background, const GraphManager& history);
    // Appends what changed in the history since the last record: a few
    // microseconds on the calling thread, the writing on the journal's.
    void record(const GraphManager& history);
    // Waits until everything recorded so far is on the disk.
    void flush();
    // Stops journalling and removes the file.
    void discard();
    bool active() const { return started; }

    struct Contents {
        ScreenSnapshot snapshot;
        BoardState state;
        QDateTime started;
    };
    // Reads the journal at `path`: the board up to its last whole record.
    // False, with the reason, when the file holds no board.
    static bool read(const QString& path, Contents* contents, QString* problem);

    // Framing of one record, and the file's first line (for tests).
    static QByteArray frame(char kind, const QByteArray& payload);
    static const QByteArray& fileMagic();

private:
    // One change of the history as plain data: the GUI thread only copies
    // it, the journal's thread encodes it.
    struct Change {
        std::vector<std::pair<int, ItemData>> items;
        bool doneChanged = false;
        bool undoneChanged = false;
        size_t doneKeep = 0;
        size_t undoneKeep = 0;
        std::vector<int> doneTail;
        std::vector<int> undoneTail;
        int current = -1;
        int select = -1;
        int tool = 0;
        int badge = 0;
        int backdrop = 0;
    };
    struct Job {
        bool restart = false;
        bool remove = false;
        QByteArray header;
        QImage snapshot;
        QByteArray data;
        bool hasChange = false;
        Change change;
    };
    static QByteArray encode(const Change& change);
    void enqueue(Job job);
    void writeLoop();
    void writeJob(Job& job);

    const QString path;
    // What the file holds, as the recording thread last wrote it.
    bool started = false;
    std::unordered_map<const GraphActioner*, int> ids;
    std::vector<const GraphActioner*> lastDone;
    std::vector<const GraphActioner*> lastUndone;
    std::map<int, ItemData> written;
    int lastCurrent = -1;
    int lastSelect = -1;
    int lastTool = -1;
    int lastBadge = -1;
    int lastBackdrop = -1;

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable drained;
    std::deque<Job> jobs;
    bool busy = false;
    bool stopping = false;
    HelperThread writer;
    bool threaded = false;
    class File;
    File* file = nullptr;
};
