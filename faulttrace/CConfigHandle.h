#pragma once
// A small reader for the reporter's configuration file: whitespace-separated
// tokens, "[Section]" headers, "key = value" entries written as three tokens,
// comments starting with "/", ";" or "\". Sections and keys are known only by
// their hash; the first value of a repeated key wins.

#include <cstdint>
#include <istream>
#include <map>
#include <string>

namespace FTR {

class CConfigHandle
{
public:
    // Longest token the reader keeps; longer words are read as several tokens.
    static constexpr size_t MaxToken = 255;

    virtual ~CConfigHandle() = default;

    // Replaces the loaded content with the file's; false when it cannot be opened.
    virtual bool load(const std::wstring& path);
    // Forgets everything loaded.
    virtual void clear();

    // Each getter reports whether the key was found; setters change nothing.
    virtual bool getInt(const std::wstring& section, const std::wstring& key, int& out) const;
    virtual bool setInt(const std::wstring& section, const std::wstring& key, int value);
    virtual bool getUInt(const std::wstring& section, const std::wstring& key, unsigned int& out) const;
    virtual bool setUInt(const std::wstring& section, const std::wstring& key, unsigned int value);
    virtual bool getInt64(const std::wstring& section, const std::wstring& key, int64_t& out) const;
    virtual bool setInt64(const std::wstring& section, const std::wstring& key, int64_t value);
    virtual bool getUInt64(const std::wstring& section, const std::wstring& key, uint64_t& out) const;
    virtual bool setUInt64(const std::wstring& section, const std::wstring& key, uint64_t value);
    virtual bool getLong(const std::wstring& section, const std::wstring& key, long& out) const;
    virtual bool setLong(const std::wstring& section, const std::wstring& key, long value);
    virtual bool getULong(const std::wstring& section, const std::wstring& key, unsigned long& out) const;
    virtual bool setULong(const std::wstring& section, const std::wstring& key, unsigned long value);
    virtual bool getBool(const std::wstring& section, const std::wstring& key, bool& out) const;
    virtual bool setBool(const std::wstring& section, const std::wstring& key, bool value);
    virtual bool getFloat(const std::wstring& section, const std::wstring& key, float& out) const;
    virtual bool setFloat(const std::wstring& section, const std::wstring& key, float value);
    virtual bool getDouble(const std::wstring& section, const std::wstring& key, double& out) const;
    virtual bool setDouble(const std::wstring& section, const std::wstring& key, double value);
    // `maxChars` bounds the result like the caller's buffer would, terminator included.
    virtual bool getString(const std::wstring& section, const std::wstring& key, std::wstring& out,
                           size_t maxChars = 256) const;
    virtual bool setString(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    // Reads the format from any stream; `load` opens the file and calls this.
    void loadFrom(std::istream& in);

    bool isLoaded() const { return loaded; }

    // The classic ELF hash over the bytes taken as signed characters.
    static uint32_t hash(const std::string& bytes);

private:
    const std::string* find(const std::wstring& section, const std::wstring& key) const;

    bool loaded = false;
    std::map<uint32_t, std::map<uint32_t, std::string>> sections;
};

} // namespace FTR
