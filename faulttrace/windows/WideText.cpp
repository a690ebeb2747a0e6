#include "faulttrace/windows/WideText.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>

namespace FTR {

size_t wideCopy(wchar_t* dest, size_t size, const wchar_t* src)
{
    if (size == 0)
        return 0;
    size_t n = 0;
    while (src && src[n] && n + 1 < size) {
        dest[n] = src[n];
        ++n;
    }
    dest[n] = L'\0';
    return n;
}

size_t wideAppend(wchar_t* dest, size_t size, const wchar_t* src)
{
    size_t n = 0;
    while (n < size && dest[n])
        ++n;
    if (n == size)
        return n;
    return n + wideCopy(dest + n, size - n, src);
}

size_t wideFormat(wchar_t* dest, size_t size, const wchar_t* format, ...)
{
    if (size == 0)
        return 0;
    va_list args;
    va_start(args, format);
    const int n = vswprintf(dest, size, format, args);
    va_end(args);
    if (n < 0) {
        dest[size - 1] = L'\0';
        size_t length = 0;
        while (dest[length])
            ++length;
        return length;
    }
    return static_cast<size_t>(n);
}

size_t wideFromBytes(wchar_t* dest, size_t size, const char* src, unsigned codePage)
{
    if (size == 0)
        return 0;
    dest[0] = L'\0';
    if (!src || !src[0])
        return 0;
    int n = MultiByteToWideChar(codePage, 0, src, -1, dest, static_cast<int>(size));
    if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        // Too long for the buffer: keep what fits.
        n = MultiByteToWideChar(codePage, 0, src, static_cast<int>(size - 1), dest, static_cast<int>(size - 1));
        dest[n > 0 ? n : 0] = L'\0';
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    if (n <= 0) {
        dest[0] = L'\0';
        return 0;
    }
    return static_cast<size_t>(n - 1);
}

HexText::HexText(uint64_t value, int digits)
{
    wchar_t reversed[16];
    int count = 0;
    do {
        reversed[count++] = L"0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value && count < 16);
    while (count < digits && count < 16)
        reversed[count++] = L'0';
    text[0] = L'0';
    text[1] = L'X';
    for (int i = 0; i < count; ++i)
        text[2 + i] = reversed[count - 1 - i];
    text[2 + count] = L'\0';
}

} // namespace FTR
