#include "crypto/cpu_features.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// The processor's flags as the Linux kernel lists them, an answer independent of our cpuid code.
std::set<std::string> KernelCpuFlags() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) == 0) {
            std::istringstream words(line.substr(line.find(':') + 1));
            return {std::istream_iterator<std::string>(words),
                    std::istream_iterator<std::string>()};
        }
    }
    return {};
}

// The portable run of the engine tests (KEYWRIGHT_PORTABLE=1) must see no extension at all, or it
// would test the hardware paths twice; without the variable the processor decides.
TEST(CpuFeatures, PortableEnvironmentTurnsEveryExtensionOff) {
    const std::set<std::string> flags = KernelCpuFlags();
    if (flags.empty()) {
        GTEST_SKIP() << "no /proc/cpuinfo flags to compare with";
    }
    const char* value = std::getenv("KEYWRIGHT_PORTABLE");
    const bool portable = value != nullptr && std::string_view(value) == "1";
    const CpuFeatures& features = EngineCpuFeatures();
    const auto has = [&flags](const char* flag) { return flags.count(flag) == 1; };
    const struct {
        const char* what;
        bool used;
        bool present;
    } rows[] = {
        {"AES-NI", features.aes, has("aes") && has("sse4_1")},
        {"SHA", features.sha, has("sha_ni") && has("sse4_1")},
        {"AVX2+GFNI", features.avx2_gfni, has("avx2") && has("gfni")},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.used, !portable && row.present) << row.what;
    }
}

}  // namespace
