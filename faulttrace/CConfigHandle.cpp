#include "faulttrace/CConfigHandle.h"

#include "faulttrace/TextConv.h"

#include <limits>
#include <cwchar>
#include <fstream>

namespace FTR {

namespace {

bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the next token of at most MaxToken bytes; false at the end of input.
bool nextToken(std::istream& in, std::string& token)
{
    token.clear();
    int c = in.get();
    while (c != EOF && isSpace(c))
        c = in.get();
    if (c == EOF)
        return false;
    while (c != EOF && !isSpace(c)) {
        token += static_cast<char>(c);
        if (token.size() == CConfigHandle::MaxToken)
            return true;
        c = in.get();
    }
    if (c != EOF)
        in.unget();
    return true;
}

void skipLine(std::istream& in)
{
    int c = in.get();
    while (c != EOF && c != '\n')
        c = in.get();
}

// Decimal conversions in the manner of the runtime's _wtoi family: leading
// blanks, an optional sign, digits; anything unparsable reads as zero and
// out-of-range values are clamped instead of wrapping.
long long toLongLong(const std::wstring& text)
{
    wchar_t* end = nullptr;
    const long long v = std::wcstoll(text.c_str(), &end, 10);
    return end == text.c_str() ? 0 : v;
}

// Negative text wraps like the unsigned conversions of the C runtime do.
unsigned long long toULongLong(const std::wstring& text)
{
    return static_cast<unsigned long long>(toLongLong(text));
}

template <typename T>
T clampTo(long long v)
{
    if (v < static_cast<long long>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (v > static_cast<long long>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

} // namespace

uint32_t CConfigHandle::hash(const std::string& bytes)
{
    uint32_t h = 0;
    for (char ch : bytes) {
        const auto c = static_cast<int32_t>(static_cast<signed char>(ch));
        h = h * 16u + static_cast<uint32_t>(c);
        if (h >= 0x10000000u) {
            const uint32_t g = h >> 28;
            h ^= g * 0x10000010u;
        }
    }
    return h;
}

bool CConfigHandle::load(const std::wstring& path)
{
    clear();
#if defined(_WIN32)
    // A narrow name would go through the ANSI code page and lose what it cannot hold.
    std::ifstream in(path.c_str(), std::ios::in | std::ios::binary);
#else
    std::ifstream in(toUtf8(path), std::ios::in | std::ios::binary);
#endif
    if (!in.is_open())
        return false;
    loadFrom(in);
    return true;
}

void CConfigHandle::loadFrom(std::istream& in)
{
    clear();
    std::map<uint32_t, std::string>* current = nullptr;
    std::string token;
    std::string skipped;
    std::string value;
    while (nextToken(in, token)) {
        const char first = token[0];
        if (first == '/' || first == ';' || first == '\\') {
            skipLine(in);
            continue;
        }
        if (first == '[') {
            const std::string name = token.size() >= 2 ? token.substr(1, token.size() - 2) : std::string();
            // emplace keeps the first map when the hash is already present.
            current = &sections.emplace(hash(name), std::map<uint32_t, std::string>()).first->second;
            continue;
        }
        if (!current)
            continue;
        if (!nextToken(in, skipped) || !nextToken(in, value))
            break;
        current->emplace(hash(token), value);
    }
    loaded = true;
}

void CConfigHandle::clear()
{
    sections.clear();
    loaded = false;
}

const std::string* CConfigHandle::find(const std::wstring& section, const std::wstring& key) const
{
    const auto s = sections.find(hash(toUtf8(section)));
    if (s == sections.end())
        return nullptr;
    const auto k = s->second.find(hash(toUtf8(key)));
    return k == s->second.end() ? nullptr : &k->second;
}

bool CConfigHandle::getString(const std::wstring& section, const std::wstring& key, std::wstring& out,
                              size_t maxChars) const
{
    const std::string* v = find(section, key);
    if (!v)
        return false;
    out = fromUtf8(*v);
    if (maxChars == 0)
        out.clear();
    else if (out.size() > maxChars - 1)
        out.resize(maxChars - 1);
    return true;
}

bool CConfigHandle::getInt(const std::wstring& section, const std::wstring& key, int& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    out = clampTo<int>(toLongLong(s));
    return true;
}

bool CConfigHandle::getUInt(const std::wstring& section, const std::wstring& key, unsigned int& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    out = static_cast<unsigned int>(toULongLong(s));
    return true;
}

bool CConfigHandle::getInt64(const std::wstring& section, const std::wstring& key, int64_t& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    out = toLongLong(s);
    return true;
}

bool CConfigHandle::getUInt64(const std::wstring& section, const std::wstring& key, uint64_t& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    out = toULongLong(s);
    return true;
}

// The runtime this format comes from has a 32-bit long; keep that range so a
// file reads the same everywhere.
bool CConfigHandle::getLong(const std::wstring& section, const std::wstring& key, long& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    out = clampTo<int32_t>(toLongLong(s));
    return true;
}

bool CConfigHandle::getULong(const std::wstring& section, const std::wstring& key, unsigned long& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    out = static_cast<uint32_t>(toULongLong(s));
    return true;
}

bool CConfigHandle::getBool(const std::wstring& section, const std::wstring& key, bool& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    std::wstring upper;
    for (wchar_t c : s)
        upper += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    out = upper == L"TRUE";
    return true;
}

bool CConfigHandle::getFloat(const std::wstring& section, const std::wstring& key, float& out) const
{
    double d = 0;
    if (!getDouble(section, key, d))
        return false;
    out = static_cast<float>(d);
    return true;
}

bool CConfigHandle::getDouble(const std::wstring& section, const std::wstring& key, double& out) const
{
    std::wstring s;
    if (!getString(section, key, s))
        return false;
    wchar_t* end = nullptr;
    const double v = std::wcstod(s.c_str(), &end);
    out = end == s.c_str() ? 0.0 : v;
    return true;
}

bool CConfigHandle::setInt(const std::wstring&, const std::wstring&, int) { return true; }
bool CConfigHandle::setUInt(const std::wstring&, const std::wstring&, unsigned int) { return true; }
bool CConfigHandle::setInt64(const std::wstring&, const std::wstring&, int64_t) { return true; }
bool CConfigHandle::setUInt64(const std::wstring&, const std::wstring&, uint64_t) { return true; }
bool CConfigHandle::setLong(const std::wstring&, const std::wstring&, long) { return true; }
bool CConfigHandle::setULong(const std::wstring&, const std::wstring&, unsigned long) { return true; }
bool CConfigHandle::setBool(const std::wstring&, const std::wstring&, bool) { return true; }
bool CConfigHandle::setFloat(const std::wstring&, const std::wstring&, float) { return true; }
bool CConfigHandle::setDouble(const std::wstring&, const std::wstring&, double) { return true; }
bool CConfigHandle::setString(const std::wstring&, const std::wstring&, const std::wstring&) { return true; }

} // namespace FTR
