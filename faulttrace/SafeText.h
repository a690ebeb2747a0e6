#pragma once
// Text helpers for the crash path: fixed buffers only, no allocation, no
// locale, no stdio. Usable in both normal and crash context.

#include <cstddef>
#include <cstdint>

namespace FTR {

size_t safeLength(const char* s);
// Copies at most `size - 1` bytes and always terminates; returns the length copied.
size_t safeCopy(char* dest, size_t size, const char* src);
bool safeEquals(const char* a, const char* b);
bool safeStartsWith(const char* s, const char* prefix);
// UTF-8 text as UTF-16 in `dest`, cut at a whole character so that it and
// the terminator fit in `capacity` units; returns the units before the terminator.
size_t safeUtf8ToUtf16(char16_t* dest, size_t capacity, const char* utf8);

// A bounded string being built in a caller-supplied buffer. Text beyond the
// capacity is dropped, never written past the end.
class SafeText
{
public:
    SafeText(char* buffer, size_t capacity);

    SafeText& add(const char* s);
    SafeText& add(const char* s, size_t n);
    SafeText& addChar(char c);
    SafeText& addDecimal(int64_t value);
    SafeText& addUnsigned(uint64_t value);
    // "0X" and lower-case hexadecimal digits, zero-padded to at least `minDigits`.
    SafeText& addHex(uint64_t value, int minDigits = 8);
    // Like printf's "%G" for the modest positive magnitudes a clock rate has.
    SafeText& addGeneral(double value);
    // Like printf's "%.0f" for non-negative values.
    SafeText& addRounded(double value);

    const char* data() const { return buf; }
    size_t size() const { return len; }
    void clear();

private:
    char* buf;
    size_t cap;
    size_t len = 0;
};

} // namespace FTR
