#include "crypto/cpu_features.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace {

// The portable run of the engine tests (KEYWRIGHT_PORTABLE=1) must see no extension at all, or it
// would test the hardware paths twice; without the variable the processor decides.
TEST(CpuFeatures, PortableEnvironmentTurnsEveryExtensionOff) {
    const char* value = std::getenv("KEYWRIGHT_PORTABLE");
    const bool portable = value != nullptr && std::string_view(value) == "1";
    const CpuFeatures& features = EngineCpuFeatures();
    __builtin_cpu_init();
    const struct {
        const char* what;
        bool used;
        bool present;
    } rows[] = {
        {"AES-NI", features.aes, __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1")},
        {"SHA", features.sha, __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1")},
        {"AVX2+GFNI", features.avx2_gfni,
         __builtin_cpu_supports("avx2") && __builtin_cpu_supports("gfni")},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.used, !portable && row.present) << row.what;
    }
}

}  // namespace
