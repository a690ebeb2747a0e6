#include "faulttrace/FaultTrace.h"

#include "faulttrace/CGlobalSet.h"
#if defined(_WIN32)
#include "faulttrace/windows/CrashHandler.h"
#include "faulttrace/windows/CrashPreparation.h"
#else
#include "faulttrace/linux/CrashHandler.h"
#include "faulttrace/linux/CrashPreparation.h"
#endif

#include <string>

namespace {

constexpr size_t MaxVersionChars = 255;

} // namespace

bool FaultTraceInit(const wchar_t* version, const wchar_t* configFile)
{
    FTR::CGlobalSet& settings = FTR::CGlobalSet::instance();
    std::wstring clientVersion = version ? version : L"";
    if (clientVersion.size() > MaxVersionChars)
        clientVersion.resize(MaxVersionChars);
    settings.clientVersion = clientVersion;
    if (!configFile || !settings.load(configFile))
        settings.setDefaults();
    FTR::CrashPreparation::prepare(settings);
    FTR::CrashHandler::arm();
    return true;
}

bool FaultTraceEnd()
{
    FTR::CGlobalSet::instance().clear();
    FTR::CrashHandler::disarm();
    return true;
}
