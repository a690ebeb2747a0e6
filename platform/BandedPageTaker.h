#pragma once

// Taking the fresh pages of a large row buffer in ahead of a writer that
// fills it band by band (the X server copying the screen into shared
// memory). A helper thread takes the pages of band k + 1 while the writer
// fills band k, then runs a follow-up pass over each band the writer has
// finished, so neither the page taking nor that pass waits for the whole
// write. Where no helper can start, nothing is taken ahead and the
// follow-up is left to the caller.

#include "platform/HelperThread.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

class BandedPageTaker {
public:
    // A follow-up over the rows [firstRow, firstRow + rows), on the helper.
    using BandDone = std::function<void(int firstRow, int rows)>;

    // `rows` rows of `rowBytes` bytes each from `begin`, cut into `bands`
    // bands of equal height (the last one may be shorter).
    BandedPageTaker(char* begin, std::size_t rowBytes, int rows, int bands);
    // Stops the helper at once if finish() was not called.
    ~BandedPageTaker();
    BandedPageTaker(const BandedPageTaker&) = delete;
    BandedPageTaker& operator=(const BandedPageTaker&) = delete;

    // About 2 MB a band: small enough to overlap well, large enough that
    // the writer's round trip per band stays a small part of it.
    static int bandsFor(std::size_t bytes);

    int count() const { return bands; }
    int firstRow(int band) const { return band * rowsPerBand; }
    int rows(int band) const;
    char* rowAddress(int row) const { return begin + static_cast<std::ptrdiff_t>(row) * static_cast<std::ptrdiff_t>(rowBytes); }

    // Starts the helper; `afterBand`, when set, runs over each band, in
    // order, once the writer has said it is written. Whether a helper runs.
    bool start(BandDone afterBand);

    // Waits until the pages of `band` are taken (at once without a helper);
    // false when the work was stopped meanwhile.
    bool bandReady(int band);
    // The writer has filled the next band.
    void bandWritten();

    // Ends the helper, at once after a failure. Whether the follow-up ran
    // over every band.
    bool finish(bool failed);

private:
    bool isStopped();
    void advance(int& counter);
    bool waitFor(const int& counter, int value);

    char* const begin;
    const std::size_t rowBytes;
    const int totalRows;
    const int bands;
    const int rowsPerBand;
    HelperThread helper;
    std::mutex mutex;
    std::condition_variable changed;
    int taken = 0;
    int written = 0;
    bool stopped = false;
    bool followedUp = false;
};
