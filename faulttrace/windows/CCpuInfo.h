#pragma once
// "[CPU(REGISTER) Info]": the registers at the fault.

#include "faulttrace/windows/CBaseInfo.h"

namespace FTR {

class CCpuInfo final : public CBaseInfo
{
public:
    explicit CCpuInfo(const CrashContext& crash);

protected:
    bool writeBody(HANDLE file) override;
};

} // namespace FTR
