// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (open, read, close, process_vm_readv), no allocation, no locks, no stdio.

#include "faulttrace/linux/CModuleList.h"

#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

#include <elf.h>

namespace FTR {

namespace {

uint64_t parseHex(const char*& p, const char* end)
{
    uint64_t v = 0;
    while (p < end) {
        const char c = *p;
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        v = (v << 4) | static_cast<uint64_t>(d);
        ++p;
    }
    return v;
}

void skipField(const char*& p, const char* end)
{
    while (p < end && *p != ' ')
        ++p;
    while (p < end && *p == ' ')
        ++p;
}

} // namespace

// Crash context.
bool CModuleList::refresh()
{
    maps = 0;
    modules = 0;
    poolUsed = 0;
    damaged = false;
    const int fd = safeOpenRead("/proc/self/maps");
    if (fd < 0)
        return false;
    char chunk[4096];
    char line[4096 + 128];
    size_t lineLength = 0;
    bool overlong = false;
    for (;;) {
        const ssize_t n = safeReadAll(fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = chunk[i];
            if (c == '\n') {
                if (!overlong)
                    addLine(line, lineLength);
                lineLength = 0;
                overlong = false;
            } else if (lineLength < sizeof line) {
                line[lineLength++] = c;
            } else {
                overlong = true;
            }
        }
        if (n < static_cast<ssize_t>(sizeof chunk))
            break;
    }
    if (lineLength && !overlong)
        addLine(line, lineLength);
    safeClose(fd);
    findModules();
    return true;
}

// Crash context. "start-end perms offset dev inode   path"
void CModuleList::addLine(const char* line, size_t length)
{
    if (maps >= MaxMaps)
        return;
    const char* p = line;
    const char* end = line + length;
    MapEntry e;
    e.start = parseHex(p, end);
    if (p >= end || *p != '-')
        return;
    ++p;
    e.end = parseHex(p, end);
    while (p < end && *p == ' ')
        ++p;
    if (end - p < 4)
        return;
    e.readable = p[0] == 'r';
    e.writable = p[1] == 'w';
    e.executable = p[2] == 'x';
    skipField(p, end);
    e.offset = parseHex(p, end);
    skipField(p, end);
    skipField(p, end); // device
    skipField(p, end); // inode; p is now at the path, if any
    if (p < end) {
        const size_t pathLength = static_cast<size_t>(end - p);
        const MapEntry* previous = maps ? &mapTable[maps - 1] : nullptr;
        const char* previousPath = previous && previous->path >= 0 ? pool + previous->path : nullptr;
        if (previousPath && safeLength(previousPath) == pathLength) {
            bool same = true;
            for (size_t i = 0; i < pathLength && same; ++i)
                same = previousPath[i] == p[i];
            if (same)
                e.path = previous->path;
        }
        if (e.path < 0 && poolUsed + pathLength + 1 <= PoolBytes) {
            e.path = static_cast<int32_t>(poolUsed);
            for (size_t i = 0; i < pathLength; ++i)
                pool[poolUsed++] = p[i];
            pool[poolUsed++] = '\0';
        }
    }
    mapTable[maps++] = e;
}

// Crash context. A module starts at a readable file mapping of offset zero
// that holds an ELF header and runs over the following mappings of the same file.
void CModuleList::findModules()
{
    for (size_t i = 0; i < maps && modules < MaxModules; ++i) {
        const MapEntry& e = mapTable[i];
        if (e.path < 0 || pool[e.path] != '/' || e.offset != 0 || !e.readable)
            continue;
        unsigned char magic[4] = {};
        if (!safeReadMemory(e.start, magic, sizeof magic)) {
            damaged = true;
            continue;
        }
        if (magic[0] != 0x7f || magic[1] != 'E'
            || magic[2] != 'L' || magic[3] != 'F')
            continue;
        ModuleEntry& m = moduleTable[modules];
        m = ModuleEntry();
        m.base = e.start;
        m.end = e.end;
        m.path = e.path;
        m.firstMap = i;
        m.lastMap = i;
        for (size_t j = i + 1; j < maps && mapTable[j].path == e.path && mapTable[j].offset != 0; ++j) {
            m.end = mapTable[j].end;
            m.lastMap = j;
        }
        if (!readHeaders(m))
            damaged = true;
        ++modules;
    }
}

// Crash context. The build-id and soname, found through the program headers;
// false when the headers themselves cannot be read.
bool CModuleList::readHeaders(ModuleEntry& m)
{
    Elf64_Ehdr eh;
    if (!safeReadMemory(m.base, &eh, sizeof eh))
        return false;
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_phentsize != sizeof(Elf64_Phdr) || eh.e_phnum == 0
        || eh.e_phnum > MaxProgramHeaders)
        return true;
    auto* ph = reinterpret_cast<Elf64_Phdr*>(headerScratch);
    if (!safeReadMemory(m.base + eh.e_phoff, ph, sizeof(Elf64_Phdr) * eh.e_phnum))
        return false;
    uint64_t lowest = ~0ull;
    for (int i = 0; i < eh.e_phnum; ++i) {
        if (ph[i].p_type == PT_LOAD && ph[i].p_vaddr < lowest)
            lowest = ph[i].p_vaddr;
    }
    if (lowest == ~0ull)
        return true;
    const uint64_t bias = m.base - (lowest & ~0xfffull);
    for (int i = 0; i < eh.e_phnum; ++i) {
        if (ph[i].p_type == PT_NOTE && !m.buildIdSize)
            readBuildId(m, bias + ph[i].p_vaddr, ph[i].p_memsz);
        else if (ph[i].p_type == PT_DYNAMIC)
            readSoname(m, bias, bias + ph[i].p_vaddr, ph[i].p_memsz);
    }
    return true;
}

// Crash context. The GNU build-id note among the notes at [at, at + size).
void CModuleList::readBuildId(ModuleEntry& m, uint64_t at, uint64_t size)
{
    const uint64_t stop = at + size;
    while (at + sizeof(Elf64_Nhdr) <= stop) {
        Elf64_Nhdr nh;
        if (!safeReadMemory(at, &nh, sizeof nh))
            return;
        const uint64_t nameAt = at + sizeof nh;
        const uint64_t descAt = nameAt + ((nh.n_namesz + 3u) & ~3u);
        const uint64_t next = descAt + ((nh.n_descsz + 3u) & ~3u);
        if (next > stop)
            return;
        char name[4] = {};
        if (nh.n_type == NT_GNU_BUILD_ID && nh.n_namesz == 4 && safeReadMemory(nameAt, name, 4) && name[0] == 'G'
            && name[1] == 'N' && name[2] == 'U' && name[3] == '\0' && nh.n_descsz > 0
            && nh.n_descsz <= sizeof m.buildId && safeReadMemory(descAt, m.buildId, nh.n_descsz)) {
            m.buildIdSize = nh.n_descsz;
            return;
        }
        at = next;
    }
}

// Crash context. DT_SONAME from the dynamic section. The loader relocates the
// string-table address in place on this platform; an unrelocated one is
// below the module and gets the load bias added.
void CModuleList::readSoname(ModuleEntry& m, uint64_t bias, uint64_t at, uint64_t size)
{
    uint64_t strtab = 0;
    uint64_t soname = ~0ull;
    const uint64_t stop = at + (size < 512 * sizeof(Elf64_Dyn) ? size : 512 * sizeof(Elf64_Dyn));
    for (; at + sizeof(Elf64_Dyn) <= stop; at += sizeof(Elf64_Dyn)) {
        Elf64_Dyn dyn;
        if (!safeReadMemory(at, &dyn, sizeof dyn) || dyn.d_tag == DT_NULL)
            break;
        if (dyn.d_tag == DT_STRTAB)
            strtab = dyn.d_un.d_ptr;
        else if (dyn.d_tag == DT_SONAME)
            soname = dyn.d_un.d_val;
    }
    if (!strtab || soname == ~0ull)
        return;
    if (strtab < m.base)
        strtab += bias;
    char name[sizeof m.soname] = {};
    // Byte by byte up to the terminator, so a name at the end of a mapping still reads.
    for (size_t i = 0; i + 1 < sizeof name; ++i) {
        if (!safeReadMemory(strtab + soname + i, &name[i], 1))
            return;
        if (!name[i])
            break;
    }
    safeCopy(m.soname, sizeof m.soname, name);
}

const MapEntry* CModuleList::mapAt(uint64_t address) const
{
    size_t lo = 0;
    size_t hi = maps;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (address < mapTable[mid].start)
            hi = mid;
        else if (address >= mapTable[mid].end)
            lo = mid + 1;
        else
            return &mapTable[mid];
    }
    return nullptr;
}

const ModuleEntry* CModuleList::moduleAt(uint64_t address) const
{
    for (size_t i = 0; i < modules; ++i) {
        if (address >= moduleTable[i].base && address < moduleTable[i].end)
            return &moduleTable[i];
    }
    return nullptr;
}

// Crash context.
StackRange CModuleList::stackAt(uint64_t sp, uint64_t redZone, uint64_t slack) const
{
    const MapEntry* stack = mapAt(sp);
    for (size_t i = 0; !stack && i < maps; ++i) {
        if (mapTable[i].start > sp && mapTable[i].start - sp < slack)
            stack = &mapTable[i];
    }
    if (!stack)
        return {};
    const uint64_t below = sp >= redZone ? sp - redZone : 0;
    return {below < stack->start ? stack->start : below, stack->end};
}

const char* CModuleList::baseName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/')
            name = p + 1;
    }
    return name;
}

} // namespace FTR
