// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (write, lseek, process_vm_readv through SafeIo), no allocation, no locks,
// no stdio.

#include "faulttrace/linux/DumpFile.h"

#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

#include <unistd.h>

namespace FTR {

namespace {

// Scratch space of the one crash handling in progress (crash context only).
char16_t nameBuffer[2048];

} // namespace

DumpFile::DumpFile(int fd, uint64_t limit)
    : fd(fd), limit(limit), tailRoom(limit / 4 < MaxTailRoom ? limit / 4 : MaxTailRoom)
{
}

// Crash context.
uint32_t DumpFile::append(const void* data, size_t size)
{
    const uint32_t rva = static_cast<uint32_t>(at);
    if (at + size > limit) {
        ok = false;
        return rva;
    }
    if (ok && !safeWriteAll(fd, data, size))
        ok = false;
    at += size;
    return rva;
}

// Crash context.
void DumpFile::align4()
{
    static const char zeros[4] = {};
    if (at % 4)
        append(zeros, 4 - at % 4);
}

// Crash context.
MdMemory DumpFile::appendMemory(uint64_t start, uint64_t size)
{
    align4();
    MdMemory m{start, {0, static_cast<uint32_t>(at)}};
    const uint64_t room = at + tailRoom < limit ? limit - tailRoom - at : 0;
    if (size > room)
        size = room;
    if (size == 0)
        return m;
    const size_t written = safeWriteMemory(fd, start, static_cast<size_t>(size));
    at += written;
    m.location.size = static_cast<uint32_t>(written);
    return m;
}

// Crash context.
uint32_t DumpFile::appendString(const char* utf8)
{
    align4();
    const size_t units = safeUtf8ToUtf16(nameBuffer, sizeof nameBuffer / sizeof nameBuffer[0], utf8);
    const uint32_t length = static_cast<uint32_t>(units * 2);
    const uint32_t rva = append(&length, sizeof length);
    append(nameBuffer, (units + 1) * 2);
    return rva;
}

// Crash context.
bool DumpFile::rewrite(uint32_t rva, const void* data, size_t size)
{
    if (lseek(fd, static_cast<off_t>(rva), SEEK_SET) < 0)
        return false;
    const bool written = safeWriteAll(fd, data, size);
    lseek(fd, static_cast<off_t>(at), SEEK_SET);
    return written;
}

} // namespace FTR
