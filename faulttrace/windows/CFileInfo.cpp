#include "faulttrace/windows/CFileInfo.h"

#include "faulttrace/windows/WideText.h"

#include <windows.h>

namespace FTR {

CFileInfo::CFileInfo(const wchar_t* filePath)
{
    wideCopy(path, MaxPathChars, filePath);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0 || size > MaxBlockBytes || !GetFileVersionInfoW(path, 0, size, block))
        return;
    struct Translation
    {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length)
        || !translations || length < sizeof(Translation))
        return;
    language = translations[0].language;
    codePage = translations[0].codePage;
    loaded = true;
}

bool CFileInfo::value(const wchar_t* name, wchar_t* out, size_t size) const
{
    if (size == 0)
        return false;
    out[0] = L'\0';
    if (!loaded)
        return false;
    wchar_t query[128];
    wideFormat(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, name);
    wchar_t* text = nullptr;
    UINT length = 0;
    // VerQueryValueW only reads the block; the cast is its signature's.
    if (!VerQueryValueW(const_cast<unsigned char*>(block), query, reinterpret_cast<void**>(&text), &length) || !text)
        return false;
    size_t n = 0;
    while (n < length && text[n])
        ++n;
    if (n >= size)
        return false;
    for (size_t i = 0; i < n; ++i)
        out[i] = text[i];
    out[n] = L'\0';
    return n > 0;
}

} // namespace FTR
