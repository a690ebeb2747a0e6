#include "faulttrace/windows/CArchiveWriter.h"

#include <windows.h>
#include <zlib.h>

#include <cstdint>

namespace FTR {

namespace {

constexpr size_t MaxEntries = 8;
constexpr size_t MaxNameBytes = 260;
constexpr size_t BufferBytes = 64 * 1024;

struct Entry
{
    char name[MaxNameBytes] = {};
    uint16_t nameLength = 0;
    uint16_t time = 0;
    uint16_t date = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
};

// Little-endian record fields.
class Record
{
public:
    Record& u16(uint16_t v)
    {
        bytes[length++] = static_cast<unsigned char>(v);
        bytes[length++] = static_cast<unsigned char>(v >> 8);
        return *this;
    }
    Record& u32(uint32_t v)
    {
        return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16));
    }

    unsigned char bytes[64] = {};
    DWORD length = 0;
};

constexpr uint32_t LocalHeaderSignature = 0x04034b50;
constexpr uint32_t CentralHeaderSignature = 0x02014b50;
constexpr uint32_t EndSignature = 0x06054b50;
constexpr uint16_t VersionNeeded = 20; // deflate
constexpr uint16_t Deflated = 8;

class ArchiveFile
{
public:
    explicit ArchiveFile(const wchar_t* path)
        : file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ArchiveFile()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool isOpen() const { return file != INVALID_HANDLE_VALUE; }
    uint64_t position() const { return at; }

    bool write(const void* data, DWORD size)
    {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written != size)
            return false;
        at += size;
        return true;
    }
    bool write(const Record& r) { return write(r.bytes, r.length); }

    // Drops everything from `offset` on: what a file that failed half-way wrote.
    bool truncate(uint64_t offset)
    {
        LARGE_INTEGER to = {};
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file, to, nullptr, FILE_BEGIN) || !SetEndOfFile(file))
            return false;
        at = offset;
        return true;
    }

    bool writeAt(uint64_t offset, const Record& r)
    {
        LARGE_INTEGER to = {};
        to.QuadPart = static_cast<LONGLONG>(offset);
        LARGE_INTEGER back = {};
        back.QuadPart = static_cast<LONGLONG>(at);
        DWORD written = 0;
        return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) && WriteFile(file, r.bytes, r.length, &written, nullptr)
               && written == r.length && SetFilePointerEx(file, back, nullptr, FILE_BEGIN);
    }

private:
    HANDLE file;
    uint64_t at = 0;
};

Record localHeader(const Entry& e)
{
    Record r;
    r.u32(LocalHeaderSignature).u16(VersionNeeded).u16(0).u16(Deflated).u16(e.time).u16(e.date);
    r.u32(e.crc).u32(e.compressedSize).u32(e.size).u16(e.nameLength).u16(0);
    return r;
}

// The entry's name: the file name without its folders.
void plainName(const wchar_t* path, Entry& e)
{
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    }
    const int n = WideCharToMultiByte(CP_ACP, 0, name, -1, e.name, MaxNameBytes, nullptr, nullptr);
    e.nameLength = n > 1 ? static_cast<uint16_t>(n - 1) : 0;
}

// Deflates `in` into the archive after its local header, which is rewritten
// with the sizes and checksum once they are known.
bool addFile(ArchiveFile& archive, const wchar_t* path, Entry& e)
{
    HANDLE in = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    FILETIME written = {};
    FILETIME local = {};
    if (!GetFileSizeEx(in, &size) || size.QuadPart >= 0xffffffffLL || !GetFileTime(in, nullptr, nullptr, &written)
        || !FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &e.date, &e.time)) {
        CloseHandle(in);
        return false;
    }
    plainName(path, e);
    e.size = static_cast<uint32_t>(size.QuadPart);
    e.offset = static_cast<uint32_t>(archive.position());

    z_stream z = {};
    bool ok = archive.write(localHeader(e)) && archive.write(e.name, e.nameLength)
              && deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    if (!ok) {
        CloseHandle(in);
        return false;
    }
    // One crash handling at a time: the buffers need not take the handler's stack.
    static unsigned char input[BufferBytes];
    static unsigned char output[BufferBytes];
    uLong crc = crc32(0, nullptr, 0);
    uint64_t compressed = 0;
    int flush = Z_NO_FLUSH;
    while (ok && flush != Z_FINISH) {
        DWORD got = 0;
        if (!ReadFile(in, input, sizeof input, &got, nullptr)) {
            ok = false;
            break;
        }
        crc = crc32(crc, input, got);
        flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = input;
        z.avail_in = got;
        do {
            z.next_out = output;
            z.avail_out = sizeof output;
            if (deflate(&z, flush) == Z_STREAM_ERROR) {
                ok = false;
                break;
            }
            const DWORD produced = static_cast<DWORD>(sizeof output - z.avail_out);
            compressed += produced;
            ok = archive.write(output, produced);
        } while (ok && z.avail_out == 0);
    }
    deflateEnd(&z);
    CloseHandle(in);
    if (!ok || compressed >= 0xffffffffULL)
        return false;
    e.crc = static_cast<uint32_t>(crc);
    e.compressedSize = static_cast<uint32_t>(compressed);
    return archive.writeAt(e.offset, localHeader(e));
}

} // namespace

bool CArchiveWriter::createArchive(const wchar_t* archivePath, const wchar_t* const* files, size_t count)
{
    ArchiveFile archive(archivePath);
    if (!archive.isOpen())
        return false;
    Entry entries[MaxEntries];
    size_t added = 0;
    for (size_t i = 0; i < count && added < MaxEntries; ++i) {
        Entry& e = entries[added];
        e = Entry();
        const uint64_t start = archive.position();
        if (addFile(archive, files[i], e)) {
            ++added;
        } else if (archive.position() != start && !archive.truncate(start)) {
            return false;
        }
    }
    const uint64_t directoryStart = archive.position();
    for (size_t i = 0; i < added; ++i) {
        const Entry& e = entries[i];
        Record r;
        r.u32(CentralHeaderSignature).u16(VersionNeeded).u16(VersionNeeded).u16(0).u16(Deflated);
        r.u16(e.time).u16(e.date).u32(e.crc).u32(e.compressedSize).u32(e.size);
        r.u16(e.nameLength).u16(0).u16(0).u16(0).u16(0).u32(0).u32(e.offset);
        if (!archive.write(r) || !archive.write(e.name, e.nameLength))
            return false;
    }
    const uint64_t directorySize = archive.position() - directoryStart;
    Record end;
    end.u32(EndSignature).u16(0).u16(0).u16(static_cast<uint16_t>(added)).u16(static_cast<uint16_t>(added));
    end.u32(static_cast<uint32_t>(directorySize)).u32(static_cast<uint32_t>(directoryStart)).u16(0);
    return archive.write(end);
}

} // namespace FTR
