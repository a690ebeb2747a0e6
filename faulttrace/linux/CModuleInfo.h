#pragma once
// "[Module Info]": every loaded module with its base and version.

#include "faulttrace/linux/CBaseInfo.h"

namespace FTR {

class CModuleInfo final : public CBaseInfo
{
public:
    explicit CModuleInfo(const CrashContext& crash);

protected:
    bool writeBody(int fd) override;
};

} // namespace FTR
