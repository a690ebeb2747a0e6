#pragma once
// "[Stack Info]": one line per frame of the crashing thread, unwound from the
// signal context.

#include "faulttrace/linux/CBaseInfo.h"

namespace FTR {

class CStackInfo : public CBaseInfo
{
public:
    explicit CStackInfo(const CrashContext& crash);

protected:
    bool writeBody(int fd) override;
};

} // namespace FTR
