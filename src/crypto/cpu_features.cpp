#include "crypto/cpu_features.h"

#include <cstdlib>
#include <string_view>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

CpuFeatures Detect() {
    CpuFeatures features;
    const char* portable = std::getenv("KEYWRIGHT_PORTABLE");
    if (portable != nullptr && std::string_view(portable) == "1") {
        return features;
    }
#if defined(__x86_64__) || defined(__i386__)
    // cpuid leaf 1 ECX: SSE4.1 bit 19, OSXSAVE 27, AVX 28, AES-NI 25; leaf 7 EBX: AVX2 bit 5,
    // SHA 29; leaf 7 ECX: GFNI bit 8 (Intel SDM vol. 2A, CPUID).
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0) {
        return features;
    }
    const bool sse41 = (c >> 19 & 1) != 0;
    const bool aes = (c >> 25 & 1) != 0;
    // AVX registers are usable only when the system saves them: XCR0 bits 1 and 2.
    bool avx = false;
    if ((c >> 27 & 1) != 0 && (c >> 28 & 1) != 0) {
        unsigned xcr0_low = 0, xcr0_high = 0;
        __asm__("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
        avx = (xcr0_low & 6) == 6;
    }
    unsigned b7 = 0, c7 = 0;
    if (__get_cpuid_count(7, 0, &a, &b7, &c7, &d) == 0) {
        b7 = c7 = 0;
    }
    features.aes = sse41 && aes;
    features.sha = sse41 && (b7 >> 29 & 1) != 0;
    features.avx2_gfni = avx && (b7 >> 5 & 1) != 0 && (c7 >> 8 & 1) != 0;
#endif
    return features;
}

}  // namespace

const CpuFeatures& EngineCpuFeatures() {
    static const CpuFeatures features = Detect();
    return features;
}
