// What the benchmarks share. Every row of the table is a pair of benchmarks named "ours/ENGINE" and
// "openssl/ENGINE" that scripts/bench-table joins; throughput rows report bytes per second over
// the same 16 KiB input, rate rows report whole operations per second.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t kThroughputBytes = 16 * 1024;

// ThroughputInput gives the 16 KiB every throughput row works on, the same bytes on both sides.
inline const std::vector<uint8_t>& ThroughputInput() {
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes(kThroughputBytes);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 131 + 7);
        }
        return bytes;
    }();
    return data;
}

// MeasureBytes times `run` (one pass over kThroughputBytes) and reports bytes per second.
template <typename Run>
void MeasureBytes(benchmark::State& state, Run run) {
    for (auto _ : state) {
        run();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kThroughputBytes));
}

// MeasureOps times `run` (one whole operation) and reports operations per second.
template <typename Run>
void MeasureOps(benchmark::State& state, Run run) {
    for (auto _ : state) {
        run();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// Register adds one side of a row: side is "ours", "openssl" or "extra" (not in the table).
template <typename Fn>
benchmark::internal::Benchmark* Register(const char* side, const char* engine, Fn fn) {
    return benchmark::RegisterBenchmark((std::string(side) + "/" + engine).c_str(), fn);
}
