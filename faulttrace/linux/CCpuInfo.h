#pragma once
// "[CPU(REGISTER) Info]": the registers at the fault.

#include "faulttrace/linux/CBaseInfo.h"

namespace FTR {

class CCpuInfo final : public CBaseInfo
{
public:
    explicit CCpuInfo(const CrashContext& crash);

protected:
    bool writeBody(int fd) override;
};

} // namespace FTR
