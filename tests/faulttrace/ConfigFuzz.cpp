// libFuzzer target: any bytes as a configuration file must parse without a
// crash, leak or overflow, and every setting must still be readable.

#include "faulttrace/CGlobalSet.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    FTR::CGlobalSet settings;
    settings.loadFrom(in);
    settings.readLoadedSettings();
    if (settings.serverAddress.size() > 255 || settings.ftpPassword.size() > 255 || settings.checkedFile.size() > 255)
        __builtin_trap();

    // Every getter on keys that the input may or may not hold.
    for (const wchar_t* section : {L"ServInfo", L"DumpInfo", L"", L"S"}) {
        for (const wchar_t* key : {L"ServPort", L"DumpSys", L"k", L""}) {
            int i = 0;
            unsigned int u = 0;
            int64_t i64 = 0;
            uint64_t u64 = 0;
            long l = 0;
            unsigned long ul = 0;
            bool b = false;
            float f = 0;
            double d = 0;
            std::wstring s;
            settings.getInt(section, key, i);
            settings.getUInt(section, key, u);
            settings.getInt64(section, key, i64);
            settings.getUInt64(section, key, u64);
            settings.getLong(section, key, l);
            settings.getULong(section, key, ul);
            settings.getBool(section, key, b);
            settings.getFloat(section, key, f);
            settings.getDouble(section, key, d);
            settings.getString(section, key, s, 1);
        }
    }
    return 0;
}
