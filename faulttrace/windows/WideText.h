#pragma once
// Wide-string helpers for the crash handling: fixed buffers only, every
// result cut to its buffer and terminated.

#include <cstddef>
#include <cstdint>

namespace FTR {

// Copies at most `size - 1` characters; returns the length copied.
size_t wideCopy(wchar_t* dest, size_t size, const wchar_t* src);
// Appends as much of `src` as fits; returns the new length.
size_t wideAppend(wchar_t* dest, size_t size, const wchar_t* src);
// swprintf into `dest`, always terminated: output that does not fit is cut.
size_t wideFormat(wchar_t* dest, size_t size, const wchar_t* format, ...);
// Converts bytes of `codePage` (CP_ACP for the system's names) to wide text.
size_t wideFromBytes(wchar_t* dest, size_t size, const char* src, unsigned codePage);

// The report's form of an address or register: "0X" and the value's
// lower-case hexadecimal digits, padded with zeros to `digits` (4198400
// reads 0X00401000).
struct HexText
{
    explicit HexText(uint64_t value, int digits = 8);
    wchar_t text[20] = {};
};

// The digits of a machine address: 16 on x86-64, 8 on x86.
constexpr int AddressDigits = sizeof(void*) * 2;

} // namespace FTR
