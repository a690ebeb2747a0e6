#pragma once
// "[Stack Info]": one line per frame of the crashing thread, walked by
// dbghelp from the registers of the exception and named from the modules'
// symbols.

#include "faulttrace/windows/CBaseInfo.h"

namespace FTR {

class CStackInfo final : public CBaseInfo
{
public:
    // The walk stops after this many frames (a stack overflow has thousands).
    static constexpr int MaxFrames = 1024;

    explicit CStackInfo(const CrashContext& crash);

protected:
    bool writeBody(HANDLE file) override;
};

} // namespace FTR
