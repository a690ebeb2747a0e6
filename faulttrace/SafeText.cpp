// Crash path: plain code on caller-supplied buffers; no calls, no allocation,
// no locks, no stdio.

#include "faulttrace/SafeText.h"

namespace FTR {

size_t safeLength(const char* s)
{
    size_t n = 0;
    while (s && s[n])
        ++n;
    return n;
}

size_t safeCopy(char* dest, size_t size, const char* src)
{
    if (size == 0)
        return 0;
    size_t n = 0;
    while (src && src[n] && n + 1 < size) {
        dest[n] = src[n];
        ++n;
    }
    dest[n] = '\0';
    return n;
}

bool safeEquals(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

bool safeStartsWith(const char* s, const char* prefix)
{
    while (*prefix) {
        if (*s++ != *prefix++)
            return false;
    }
    return true;
}

size_t safeUtf8ToUtf16(char16_t* dest, size_t capacity, const char* utf8)
{
    if (capacity == 0)
        return 0;
    size_t units = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p && units + 2 < capacity) {
        uint32_t c = *p++;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra)
            c &= (0x3F >> extra);
        while (extra-- && (*p & 0xC0) == 0x80)
            c = (c << 6) | (*p++ & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            dest[units++] = static_cast<char16_t>(0xD800 + (c >> 10));
            dest[units++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            dest[units++] = static_cast<char16_t>(c);
        }
    }
    dest[units] = 0;
    return units;
}

SafeText::SafeText(char* buffer, size_t capacity)
    : buf(buffer), cap(capacity)
{
    if (cap)
        buf[0] = '\0';
}

void SafeText::clear()
{
    len = 0;
    if (cap)
        buf[0] = '\0';
}

SafeText& SafeText::add(const char* s, size_t n)
{
    for (size_t i = 0; i < n && len + 1 < cap; ++i)
        buf[len++] = s[i];
    if (cap)
        buf[len] = '\0';
    return *this;
}

SafeText& SafeText::add(const char* s)
{
    return add(s, safeLength(s));
}

SafeText& SafeText::addChar(char c)
{
    return add(&c, 1);
}

SafeText& SafeText::addUnsigned(uint64_t value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (n)
        addChar(digits[--n]);
    return *this;
}

SafeText& SafeText::addDecimal(int64_t value)
{
    if (value < 0) {
        addChar('-');
        return addUnsigned(~static_cast<uint64_t>(value) + 1);
    }
    return addUnsigned(static_cast<uint64_t>(value));
}

SafeText& SafeText::addHex(uint64_t value, int minDigits)
{
    static const char hex[] = "0123456789abcdef";
    char digits[16];
    int n = 0;
    do {
        digits[n++] = hex[value & 0xF];
        value >>= 4;
    } while (value);
    add("0X");
    for (int i = n; i < minDigits; ++i)
        addChar('0');
    while (n)
        addChar(digits[--n]);
    return *this;
}

SafeText& SafeText::addRounded(double value)
{
    if (!(value > 0))
        return addChar('0');
    if (value >= 1.8e19)
        return add("inf");
    auto whole = static_cast<uint64_t>(value);
    const double frac = value - static_cast<double>(whole);
    if (frac > 0.5 || (frac == 0.5 && (whole & 1)))
        ++whole;
    return addUnsigned(whole);
}

// Six significant digits, trailing zeros dropped, plain notation for
// 1e-4 <= value < 1e6 and "E" notation outside it.
SafeText& SafeText::addGeneral(double value)
{
    if (value != value)
        return add("NAN");
    if (value < 0) {
        addChar('-');
        value = -value;
    }
    if (value == 0)
        return addChar('0');
    if (value > 1e300)
        return add("INF");
    int exponent = 0;
    double m = value;
    while (m >= 10) {
        m /= 10;
        ++exponent;
    }
    while (m < 1) {
        m *= 10;
        --exponent;
    }
    // Six significant digits as an integer 100000..999999, rounded half-even;
    // scaling by an exact power of ten keeps halves exact.
    const int shift = 5 - exponent;
    double power = 1;
    for (int i = 0; i < (shift < 0 ? -shift : shift); ++i)
        power *= 10;
    const double scaled = shift >= 0 ? value * power : value / power;
    auto digits = static_cast<uint64_t>(scaled);
    const double frac = scaled - static_cast<double>(digits);
    if (frac > 0.5 || (frac == 0.5 && (digits & 1)))
        ++digits;
    if (digits >= 1000000) {
        digits /= 10;
        ++exponent;
    }
    char d[6];
    for (int i = 5; i >= 0; --i) {
        d[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int last = 5;
    while (last > 0 && d[last] == '0')
        --last;
    if (exponent >= -4 && exponent < 6) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i)
                addChar(i <= last ? d[i] : '0');
            if (last > exponent) {
                addChar('.');
                for (int i = exponent + 1; i <= last; ++i)
                    addChar(d[i]);
            }
        } else {
            add("0.");
            for (int i = -1; i > exponent; --i)
                addChar('0');
            for (int i = 0; i <= last; ++i)
                addChar(d[i]);
        }
        return *this;
    }
    addChar(d[0]);
    if (last > 0) {
        addChar('.');
        for (int i = 1; i <= last; ++i)
            addChar(d[i]);
    }
    addChar('E');
    addChar(exponent < 0 ? '-' : '+');
    const int e = exponent < 0 ? -exponent : exponent;
    if (e < 10)
        addChar('0');
    return addUnsigned(static_cast<uint64_t>(e));
}

} // namespace FTR
