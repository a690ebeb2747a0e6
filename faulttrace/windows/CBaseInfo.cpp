#include "faulttrace/windows/CBaseInfo.h"

namespace FTR {

CBaseInfo::CBaseInfo(const char* titleText, const CrashContext& crashContext)
    : crash(crashContext)
{
    size_t n = 0;
    while (titleText[n] && n + 1 < sizeof title) {
        title[n] = titleText[n];
        ++n;
    }
}

bool CBaseInfo::writeBytes(HANDLE file, const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        size -= written;
    }
    return true;
}

// In pieces of a fixed size, so that a line of any length is written whole
// without a buffer sized to it. A piece never ends between the two halves
// of a surrogate pair.
bool CBaseInfo::writeText(HANDLE file, const wchar_t* text)
{
    constexpr int PieceChars = 1024;
    char bytes[PieceChars * 4];
    size_t length = 0;
    while (text[length])
        ++length;
    size_t at = 0;
    while (at < length) {
        size_t piece = length - at < PieceChars ? length - at : PieceChars;
        if (piece > 1 && at + piece < length && IS_HIGH_SURROGATE(text[at + piece - 1]))
            --piece;
        const int n = WideCharToMultiByte(CP_OEMCP, 0, text + at, static_cast<int>(piece), bytes, sizeof bytes,
                                          nullptr, nullptr);
        if (n <= 0 || !writeBytes(file, bytes, static_cast<size_t>(n)))
            return false;
        at += piece;
    }
    return true;
}

bool CBaseInfo::write(HANDLE file)
{
    size_t n = 0;
    while (title[n])
        ++n;
    if (!writeBytes(file, title, n) || !writeText(file, lineBreak))
        return false;
    return writeBody(file);
}

} // namespace FTR
