#pragma once
// "[Module Info]": every loaded module with its base, path and version.

#include "faulttrace/windows/CBaseInfo.h"

namespace FTR {

class CModuleInfo final : public CBaseInfo
{
public:
    explicit CModuleInfo(const CrashContext& crash);

protected:
    bool writeBody(HANDLE file) override;
};

} // namespace FTR
