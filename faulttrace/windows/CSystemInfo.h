#pragma once
// "[System Info]": system, processor, video adapters, memory, public
// address and client version, each line only when its source answers.

#include "faulttrace/windows/CBaseInfo.h"

namespace FTR {

class CSystemInfo final : public CBaseInfo
{
public:
    explicit CSystemInfo(const CrashContext& crash);

protected:
    bool writeBody(HANDLE file) override;
};

} // namespace FTR
