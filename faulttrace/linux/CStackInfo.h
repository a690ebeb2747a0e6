#pragma once
// "[Stack Info]": one line per frame of the crashing thread, unwound from the
// signal context.

#include "faulttrace/linux/CBaseInfo.h"

#include <cstdint>

namespace FTR {

class CStackInfo : public CBaseInfo
{
public:
    explicit CStackInfo(const CrashContext& crash);

protected:
    bool writeBody(int fd) override;

private:
    void writeFrame(int fd, uint64_t pc, const char* name);
    void walkFramePointers(int fd);
};

} // namespace FTR
