#pragma once
// The reporter's settings: where crash archives go, which report sections are
// written, and the client version. One process-wide instance.

#include "faulttrace/CConfigHandle.h"

#include <string>

namespace FTR {

class CGlobalSet : public CConfigHandle
{
public:
    static CGlobalSet& instance();

    // Reads the settings from the file; false (settings untouched) when the file cannot be opened.
    bool load(const std::wstring& path) override;
    // The built-in settings used when there is no configuration file.
    void setDefaults();
    // Takes every setting from the loaded content; absent keys get their defaults.
    void readLoadedSettings();

    std::wstring serverAddress;
    std::wstring serverPath;
    int serverPort = -1;
    bool createDump = true;
    bool systemSection = true;
    bool cpuSection = true;
    bool stackSection = true;
    bool moduleSection = true;
    std::wstring publicAddress;
    std::wstring checkedFile;
    std::wstring ftpUser;
    std::wstring ftpPassword;
    std::wstring clientVersion;
    // Host (optionally "host:port") of the public-address service; empty means
    // the built-in or environment choice (see CrashPreparation).
    std::wstring addressService;
};

} // namespace FTR
