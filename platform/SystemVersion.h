#pragma once

#include <QString>

namespace platform {

// What the running system says about itself, for naming it in reports.
struct SystemVersion
{
    bool windows = false;
    int windowsMajor = 0;      // Windows only: the reported major.minor version
    int windowsMinor = 0;
    QString productType;       // elsewhere: distribution id, e.g. "debian"; may be empty
    QString productVersion;    // its version, e.g. "12"; may be empty
    QString kernelType;        // e.g. "linux"
    QString kernelVersion;     // e.g. "6.1.0-18-amd64"
    bool native64 = false;     // the processor runs 64-bit code natively
};

SystemVersion currentSystemVersion();

} // namespace platform
