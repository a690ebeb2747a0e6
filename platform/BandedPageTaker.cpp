// The helper and the hand-over between it and a band-by-band writer.

#include "platform/BandedPageTaker.h"

#include "platform/ProcessMemory.h"

#include <algorithm>

BandedPageTaker::BandedPageTaker(char* begin, std::size_t rowBytes, int rows, int bands)
    : begin(begin)
    , rowBytes(rowBytes)
    , totalRows(rows)
    , bands(bands)
    , rowsPerBand((rows + bands - 1) / bands)
{
}

BandedPageTaker::~BandedPageTaker()
{
    finish(true);
}

int BandedPageTaker::bandsFor(std::size_t bytes)
{
    constexpr std::size_t kBandBytes = std::size_t(2) << 20;
    return static_cast<int>(std::clamp<std::size_t>(bytes / kBandBytes, 1, 16));
}

int BandedPageTaker::rows(int band) const
{
    return std::min(rowsPerBand, totalRows - firstRow(band));
}

bool BandedPageTaker::start(BandDone afterBand)
{
    const bool started = helper.start([this, afterBand = std::move(afterBand)] {
        for (int band = 0; band < bands && !isStopped(); ++band) {
            char* first = rowAddress(firstRow(band));
            ProcessMemory::takePages(first, static_cast<std::size_t>(rowAddress(firstRow(band) + rows(band)) - first));
            advance(taken);
        }
        if (!afterBand) {
            return;
        }
        for (int band = 0; band < bands; ++band) {
            if (!waitFor(written, band + 1)) {
                return;
            }
            afterBand(firstRow(band), rows(band));
        }
        std::lock_guard<std::mutex> lock(mutex);
        followedUp = true;
    });
    if (!started) {
        // The writer goes ahead into pages nobody took.
        std::lock_guard<std::mutex> lock(mutex);
        taken = bands;
    }
    return started;
}

bool BandedPageTaker::bandReady(int band)
{
    return waitFor(taken, band + 1);
}

void BandedPageTaker::bandWritten()
{
    advance(written);
}

bool BandedPageTaker::finish(bool failed)
{
    if (failed) {
        std::lock_guard<std::mutex> lock(mutex);
        stopped = true;
        changed.notify_all();
    }
    helper.join();
    return followedUp;
}

bool BandedPageTaker::isStopped()
{
    std::lock_guard<std::mutex> lock(mutex);
    return stopped;
}

void BandedPageTaker::advance(int& counter)
{
    std::lock_guard<std::mutex> lock(mutex);
    ++counter;
    changed.notify_all();
}

bool BandedPageTaker::waitFor(const int& counter, int value)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return counter >= value || stopped; });
    return counter >= value;
}
