#pragma once
// The process's loaded ELF modules and the memory mappings they come from,
// read from /proc/self/maps into fixed tables. refresh() runs in crash context.

#include <cstddef>
#include <cstdint>

namespace FTR {

struct MapEntry
{
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t offset = 0;
    bool readable = false;
    bool writable = false;
    bool executable = false;
    int32_t path = -1; // offset into the path pool, -1 for anonymous memory
};

// Memory from `start` up to `end`; empty when nothing was found.
struct StackRange
{
    uint64_t start = 0;
    uint64_t end = 0;
};

struct ModuleEntry
{
    uint64_t base = 0; // load bias + lowest PT_LOAD address
    uint64_t end = 0;
    int32_t path = -1;
    size_t firstMap = 0;
    size_t lastMap = 0; // inclusive
    uint8_t buildId[64] = {};
    uint32_t buildIdSize = 0;
    char soname[128] = {};
};

class CModuleList
{
public:
    static constexpr size_t MaxMaps = 8192;
    static constexpr size_t MaxModules = 1024;
    static constexpr size_t PoolBytes = 512 * 1024;

    // Re-reads the mappings; false when /proc/self/maps cannot be read.
    bool refresh();

    size_t mapCount() const { return maps; }
    const MapEntry& map(size_t i) const { return mapTable[i]; }
    size_t moduleCount() const { return modules; }
    const ModuleEntry& module(size_t i) const { return moduleTable[i]; }
    const char* path(int32_t offset) const { return offset < 0 ? "" : pool + offset; }

    // Whether some mapped module's headers cannot be read (a library cut off
    // on disk, say): walking the stack through the loader's list would fault.
    bool hasDamagedModules() const { return damaged; }

    const MapEntry* mapAt(uint64_t address) const;
    const ModuleEntry* moduleAt(uint64_t address) const;
    // The stack in use at stack pointer `sp`: from `redZone` bytes below it,
    // but never below its mapping's start, to the end of that mapping. A
    // stack pointer that ran off the bottom of its stack by less than `slack`
    // bytes finds the mapping just above it.
    StackRange stackAt(uint64_t sp, uint64_t redZone, uint64_t slack) const;

    static const char* baseName(const char* path);

private:
    void addLine(const char* line, size_t length);
    void findModules();
    static constexpr size_t MaxProgramHeaders = 256;

    bool readHeaders(ModuleEntry& m);
    void readBuildId(ModuleEntry& m, uint64_t at, uint64_t size);
    void readSoname(ModuleEntry& m, uint64_t bias, uint64_t at, uint64_t size);

    MapEntry mapTable[MaxMaps];
    ModuleEntry moduleTable[MaxModules];
    char pool[PoolBytes];
    // Program headers of the module being read (64-bit entries are 56 bytes).
    alignas(8) unsigned char headerScratch[MaxProgramHeaders * 56];
    size_t maps = 0;
    size_t modules = 0;
    size_t poolUsed = 0;
    bool damaged = false;
};

} // namespace FTR
