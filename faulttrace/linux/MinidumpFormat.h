#pragma once
// The minidump file's on-disk records and stream types, as the format
// defines them: plain data, packed to 4 bytes, with their sizes checked.

#include <cstdint>

namespace FTR {

#pragma pack(push, 4)
struct MdLocation
{
    uint32_t size;
    uint32_t rva;
};
struct MdMemory
{
    uint64_t start;
    MdLocation location;
};
struct MdHeader
{
    uint32_t signature;
    uint32_t version;
    uint32_t streamCount;
    uint32_t directoryRva;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint64_t flags;
};
struct MdDirectory
{
    uint32_t streamType;
    MdLocation location;
};
struct MdThread
{
    uint32_t threadId;
    uint32_t suspendCount;
    uint32_t priorityClass;
    uint32_t priority;
    uint64_t teb;
    MdMemory stack;
    MdLocation context;
};
struct MdFixedFileInfo
{
    uint32_t values[13];
};
struct MdModule
{
    uint64_t base;
    uint32_t size;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint32_t nameRva;
    MdFixedFileInfo version;
    MdLocation cvRecord;
    MdLocation miscRecord;
    uint64_t reserved0;
    uint64_t reserved1;
};
struct MdSystemInfo
{
    uint16_t processorArchitecture;
    uint16_t processorLevel;
    uint16_t processorRevision;
    uint8_t processorCount;
    uint8_t productType;
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t buildNumber;
    uint32_t platformId;
    uint32_t csdVersionRva;
    uint16_t suiteMask;
    uint16_t reserved2;
    uint32_t vendorId[3];
    uint32_t versionInformation;
    uint32_t featureInformation;
    uint32_t amdExtendedFeatures;
};
struct MdException
{
    uint32_t code;
    uint32_t flags;
    uint64_t record;
    uint64_t address;
    uint32_t parameterCount;
    uint32_t align;
    uint64_t information[15];
};
struct MdExceptionStream
{
    uint32_t threadId;
    uint32_t align;
    MdException exception;
    MdLocation context;
};
struct MdMiscInfo
{
    uint32_t size;
    uint32_t flags1;
    uint32_t processId;
    uint32_t processCreateTime;
    uint32_t processUserTime;
    uint32_t processKernelTime;
};
struct MdContextAmd64
{
    uint64_t home[6];
    uint32_t contextFlags;
    uint32_t mxCsr;
    uint16_t cs, ds, es, fs, gs, ss;
    uint32_t eflags;
    uint64_t dr0, dr1, dr2, dr3, dr6, dr7;
    uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
    uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
    uint64_t rip;
    uint8_t floatSave[512];
    uint8_t vectorRegisters[26 * 16];
    uint64_t vectorControl;
    uint64_t debugControl;
    uint64_t lastBranchToRip;
    uint64_t lastBranchFromRip;
    uint64_t lastExceptionToRip;
    uint64_t lastExceptionFromRip;
};
struct MdMemoryInfoListHeader
{
    uint32_t headerSize;
    uint32_t entrySize;
    uint64_t entryCount;
};
struct MdMemoryInfo
{
    uint64_t base;
    uint64_t allocationBase;
    uint32_t allocationProtection;
    uint32_t align1;
    uint64_t regionSize;
    uint32_t state;
    uint32_t protection;
    uint32_t type;
    uint32_t align2;
};
#pragma pack(pop)

static_assert(sizeof(MdHeader) == 32, "header");
static_assert(sizeof(MdDirectory) == 12, "directory");
static_assert(sizeof(MdThread) == 48, "thread");
static_assert(sizeof(MdModule) == 108, "module");
static_assert(sizeof(MdSystemInfo) == 56, "system info");
static_assert(sizeof(MdExceptionStream) == 168, "exception");
static_assert(sizeof(MdContextAmd64) == 1232, "context");
static_assert(sizeof(MdMemoryInfo) == 48, "memory info");

constexpr uint32_t StreamThreadList = 3;
constexpr uint32_t StreamModuleList = 4;
constexpr uint32_t StreamMemoryList = 5;
constexpr uint32_t StreamException = 6;
constexpr uint32_t StreamSystemInfo = 7;
constexpr uint32_t StreamMiscInfo = 15;
constexpr uint32_t StreamMemoryInfoList = 16;
constexpr uint32_t StreamLinuxMaps = 0x47670009;
// The signature that opens a module's build-id record.
constexpr uint32_t CvSignatureElf = 0x4270454c; // "BpEL"

} // namespace FTR
