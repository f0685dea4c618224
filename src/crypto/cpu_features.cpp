#include "crypto/cpu_features.h"

#include <cstdlib>
#include <string_view>

namespace {

CpuFeatures Detect() {
    CpuFeatures features;
    const char* portable = std::getenv("KEYWRIGHT_PORTABLE");
    if (portable != nullptr && std::string_view(portable) == "1") {
        return features;
    }
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    const bool sse41 = __builtin_cpu_supports("sse4.1");
    features.aes = sse41 && __builtin_cpu_supports("aes");
    features.sha = sse41 && __builtin_cpu_supports("sha");
    features.avx2_gfni = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("gfni");
#endif
    return features;
}

}  // namespace

const CpuFeatures& EngineCpuFeatures() {
    static const CpuFeatures features = Detect();
    return features;
}
