#pragma once
// Fills the crash state in normal context: settings, paths, and the parts of
// the system description that do not change while the process runs.

namespace FTR {

class CGlobalSet;

class CrashPreparation
{
public:
    // Normal context.
    static void prepare(const CGlobalSet& settings);
    // "host" or "host:port" into the address-service fields; port 80 by default.
    static void setAddressService(const char* service);
};

} // namespace FTR
