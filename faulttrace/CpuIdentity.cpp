// Partly crash path: measureClockGHz runs inside the crashed process, with
// the monotonic clock (clock_gettime, or the performance counter on Windows)
// and the time-stamp counter only; the identification itself runs at
// start-up. No allocation, no locks, no stdio either way.

#include "faulttrace/CpuIdentity.h"

#include "faulttrace/SafeText.h"

#include <cpuid.h>
#include <ctime>
#include <x86intrin.h>
#if defined(_WIN32)
#include <windows.h>
#endif

namespace FTR {

namespace {

struct VendorName
{
    const char* name;
    CpuIdentity::Vendor vendor;
};

const VendorName vendorNames[] = {
    {"GenuineIntel", CpuIdentity::Vendor::Intel},     {"UMC UMC UMC ", CpuIdentity::Vendor::Umc},
    {"AuthenticAMD", CpuIdentity::Vendor::Amd},       {"AMD ISBETTER", CpuIdentity::Vendor::Amd},
    {"CyrixInstead", CpuIdentity::Vendor::Cyrix},     {"NexGenDriven", CpuIdentity::Vendor::NexGen},
    {"CentaurHauls", CpuIdentity::Vendor::Centaur},   {"RiseRiseRise", CpuIdentity::Vendor::Rise},
    {"GenuineTMx86", CpuIdentity::Vendor::Transmeta}, {"TransmetaCPU", CpuIdentity::Vendor::Transmeta},
    {"Geode By NSC", CpuIdentity::Vendor::Geode},
};

int64_t monotonicNs()
{
#if defined(_WIN32)
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER now = {};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&now))
        return static_cast<int64_t>(GetTickCount64()) * 1000000;
    return static_cast<int64_t>(static_cast<double>(now.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart));
#else
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
#endif
}

} // namespace

CpuIdentity::Vendor CpuIdentity::vendorFromName(const char* name12)
{
    for (const VendorName& v : vendorNames) {
        bool same = true;
        for (int i = 0; i < 12 && same; ++i)
            same = name12[i] == v.name[i];
        if (same)
            return v.vendor;
    }
    return Vendor::Unknown;
}

bool CpuIdentity::brandLeafAllowed(Vendor vendor, uint32_t family, uint32_t model)
{
    switch (vendor) {
    case Vendor::Amd:
        return (family == 5 && model >= 6) || family >= 6;
    case Vendor::Intel:
        return family == 15;
    case Vendor::Cyrix:
        return (family == 5 && model >= 4) || (family == 6 && model >= 5) || family >= 7;
    case Vendor::Centaur:
        return (family == 5 && model >= 8) || family >= 6;
    case Vendor::Transmeta:
        return family >= 5;
    default:
        return true;
    }
}

void CpuIdentity::read()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid(0, a, b, c, d);
    vendorRegisters[0] = b;
    vendorRegisters[1] = d;
    vendorRegisters[2] = c;
    for (int i = 0; i < 4; ++i) {
        vendorName[i] = static_cast<char>((b >> (8 * i)) & 0xff);
        vendorName[4 + i] = static_cast<char>((d >> (8 * i)) & 0xff);
        vendorName[8 + i] = static_cast<char>((c >> (8 * i)) & 0xff);
    }
    vendorName[12] = '\0';
    vendor = vendorFromName(vendorName);

    __cpuid(1, a, b, c, d);
    version = a;
    features = d;
    signature = decodeCpuSignature(a);

    __cpuid(0x80000000, a, b, c, d);
    const uint32_t highest = a & 0x7fffffff;
    if (highest >= 1 && vendor == Vendor::Amd) {
        unsigned ea = 0, eb = 0, ec = 0, ed = 0;
        __cpuid(0x80000001, ea, eb, ec, ed);
        amdFeatures = ed;
    }

    brand[0] = '\0';
    unsigned words[12] = {};
    const bool brandAllowed = brandLeafAllowed(vendor, signature.family, signature.model);
    for (uint32_t leaf = 0; leaf < 3; ++leaf) {
        if (!brandAllowed || highest < ((0x80000002u + leaf) & 0x7fffffff))
            return;
        __cpuid(0x80000002u + leaf, words[leaf * 4], words[leaf * 4 + 1], words[leaf * 4 + 2], words[leaf * 4 + 3]);
    }
    char raw[49] = {};
    for (int i = 0; i < 48; ++i)
        raw[i] = static_cast<char>((words[i / 4] >> (8 * (i % 4))) & 0xff);
    int start = 0;
    if (vendor == Vendor::Intel) {
        while (start < 48 && (raw[start] == ' ' || raw[start] == '\0'))
            ++start;
    }
    safeCopy(brand, sizeof brand, raw + start);
}

float CpuIdentity::clockFromCounts(uint64_t busy, uint64_t overhead)
{
    const uint64_t difference = busy > overhead ? busy - overhead : 0;
    const uint64_t units = difference / 50000;
    return static_cast<float>(static_cast<double>(units) * 0.001);
}

float CpuIdentity::measureClockGHz()
{
    const int64_t waitNs = 50 * 1000000;
    uint64_t before = __rdtsc();
    int64_t start = monotonicNs();
    while (monotonicNs() - start < waitNs) {
    }
    uint64_t after = __rdtsc();
    const uint64_t busy = after - before;

    before = __rdtsc();
    start = monotonicNs();
    while (monotonicNs() - start < 0) {
    }
    after = __rdtsc();
    return clockFromCounts(busy, after - before);
}

} // namespace FTR
