#pragma once
// Appends a minidump's records to its file while tracking the offset (rva)
// reached. Crash context only: plain writes, no allocation, no locks.

#include "faulttrace/linux/MinidumpFormat.h"

#include <cstddef>
#include <cstdint>

namespace FTR {

// Offsets are 32 bits in the format: memory is cut short well before the
// limit, so the records written after it still fit, and anything else that
// would pass the limit is refused rather than written at an offset that
// wraps around.
class DumpFile
{
public:
    DumpFile(int fd, uint64_t limit);

    uint32_t offset() const { return static_cast<uint32_t>(at); }
    // False once a write failed or a record was refused for the limit.
    bool good() const { return ok; }

    // Returns the record's offset.
    uint32_t append(const void* data, size_t size);
    void align4();
    // Copies process memory; the size is what could actually be read, and
    // what room there is for it.
    MdMemory appendMemory(uint64_t start, uint64_t size);
    // A UTF-16 string record from UTF-8 text; returns its offset.
    uint32_t appendString(const char* utf8);
    // Overwrites what was appended at `rva` and goes back to the end.
    bool rewrite(uint32_t rva, const void* data, size_t size);

private:
    static constexpr uint64_t MaxTailRoom = 16ull << 20;

    int fd;
    uint64_t limit;
    uint64_t tailRoom;
    uint64_t at = 0;
    bool ok = true;
};

} // namespace FTR
