#include "faulttrace/windows/CSys_MemoryInfo.h"

namespace FTR {

namespace {
using StatusFunction = BOOL(WINAPI*)(MEMORYSTATUSEX*);
// The structure's length the call is made with.
constexpr DWORD StatusLength = 64;
static_assert(sizeof(MEMORYSTATUSEX) == StatusLength, "MEMORYSTATUSEX changed size");
} // namespace

CSys_MemoryInfo::CSys_MemoryInfo()
    : kernel32(LoadLibraryW(L"kernel32.dll"))
{
}

CSys_MemoryInfo::~CSys_MemoryInfo()
{
    if (kernel32)
        FreeLibrary(kernel32);
}

bool CSys_MemoryInfo::read(uint64_t& totalBytes, uint64_t& availableBytes) const
{
    if (!kernel32)
        return false;
    const auto status = reinterpret_cast<StatusFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "GlobalMemoryStatusEx")));
    MEMORYSTATUSEX memory = {};
    memory.dwLength = StatusLength;
    if (!status || !status(&memory))
        return false;
    totalBytes = memory.ullTotalPhys;
    availableBytes = memory.ullAvailPhys;
    return true;
}

} // namespace FTR
