#pragma once
// "[Stack Info]": one line per frame of the crashing thread. In the crashed
// process only the return addresses found on the stack can be listed, without
// names; the helper program replaces them with a named walk from outside.

#include "faulttrace/linux/CBaseInfo.h"

#include <cstdint>

namespace FTR {

class CStackInfo final : public CBaseInfo
{
public:
    explicit CStackInfo(const CrashContext& crash);

protected:
    bool writeBody(int fd) override;

private:
    void writeFrame(int fd, uint64_t pc);
    void scanStack(int fd);
};

} // namespace FTR
