#pragma once

#include <QtGlobal>

#include "platform/HelperThread.h"

#include <cstddef>
#include <memory>

class QPaintDevice;

// How much memory this process holds, for the memory benchmarks, and taking
// fresh memory in ahead of writing it.
class ProcessMemory {
public:
    // Bytes of this process now resident in memory; -1 when unknown.
    static qint64 residentBytes();
    // The most that has been resident at once since the process started; -1 when unknown.
    static qint64 peakResidentBytes();

    // Makes the pages of [begin, begin + bytes) resident and writable now,
    // without changing what they hold. On fresh memory (a full-screen
    // buffer) that costs several times less than first touching them one
    // page at a time.
    static void takePages(void* begin, std::size_t bytes);
};

// Takes the pages of a range (see ProcessMemory::takePages) on a helper
// thread while the caller writes elsewhere, so the two halves of a first
// full-screen write fault in on two processors. Waits for the helper when it
// goes away; where no thread can start, the pages are simply taken as they
// are written.
class PageTaker {
public:
    PageTaker(void* begin, std::size_t bytes);
    // For the first paint of a window: takes the lower half of the pages of
    // `device` (the window's fresh buffer) while the caller paints the upper
    // half. Null for a device that is not an image in memory.
    static std::unique_ptr<PageTaker> lowerHalfOf(QPaintDevice* device);

    PageTaker(const PageTaker&) = delete;
    PageTaker& operator=(const PageTaker&) = delete;

    // Whether a helper takes the pages.
    bool running() const { return helper.running(); }

private:
    HelperThread helper;
};
