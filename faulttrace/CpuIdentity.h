#pragma once
// Processor identification through cpuid, and its clock through the
// time-stamp counter. Usable in normal and crash context.

#include <cstdint>

namespace FTR {

// The fields of the processor signature, cpuid leaf 1 EAX. Header-only, so
// the crash path decodes it without a call.
struct CpuSignature
{
    uint32_t stepping = 0;
    uint32_t model = 0;
    uint32_t family = 0;
    uint32_t type = 0;
    uint32_t extendedModel = 0;
    uint32_t extendedFamily = 0;
};

constexpr CpuSignature decodeCpuSignature(uint32_t eax)
{
    CpuSignature s;
    s.stepping = eax & 0xf;
    s.model = (eax >> 4) & 0xf;
    s.family = (eax >> 8) & 0xf;
    s.type = (eax >> 12) & 0x3;
    s.extendedModel = (eax >> 16) & 0xf;
    s.extendedFamily = (eax >> 20) & 0xff;
    return s;
}

class CpuIdentity
{
public:
    enum class Vendor { Unknown, Intel, Umc, Amd, Cyrix, NexGen, Centaur, Rise, Transmeta, Geode };

    // Reads vendor, family, model and the brand string of this processor.
    void read();

    static Vendor vendorFromName(const char* name12);
    // Whether the brand-string leaf may be read for this vendor and model.
    static bool brandLeafAllowed(Vendor vendor, uint32_t family, uint32_t model);
    // GHz from time-stamp differences over a 50 ms wait and an empty wait,
    // as ((busy - overhead) / 50000 in whole units) * 0.001.
    static float clockFromCounts(uint64_t busy, uint64_t overhead);
    // Busy-waits 50 ms on the monotonic clock (the performance counter on
    // Windows) and measures the counter rate.
    static float measureClockGHz();

    char vendorName[13] = {};
    uint32_t vendorRegisters[3] = {};
    Vendor vendor = Vendor::Unknown;
    uint32_t version = 0;  // leaf 1 EAX
    uint32_t features = 0; // leaf 1 EDX
    uint32_t amdFeatures = 0;
    CpuSignature signature;
    char brand[49] = {};
};

} // namespace FTR
