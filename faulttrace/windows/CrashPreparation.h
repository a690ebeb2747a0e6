#pragma once
// Fills the crash state in normal context: the settings and the paths.

#include <string>

namespace FTR {

class CGlobalSet;

class CrashPreparation
{
public:
    // Normal context.
    static void prepare(const CGlobalSet& settings);
    // "host" or "host:port" into the address-service fields; port 80 by default.
    static void setAddressService(const std::wstring& service);
};

} // namespace FTR
