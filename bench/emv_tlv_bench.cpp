// The "EMV 标准解析" listing of about 1 MB of card data beside the default listing of the same
// data, which it should stay within a few times of: READ RECORD templates one after another, all
// inside one large template, and a field-55 dump whose every object gets explained.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "card_data.h"
#include "common/hex_codec.h"
#include "tlv/emv_tlv_listing.h"
#include "tlv/tlv_parser.h"

namespace {

using namespace card_data;

Bytes Field55() {
    return HexToBytes(
        "9F26081122334455667788"
        "9F270180"
        "9F370412345678"
        "95050000048000"
        "9A03240229"
        "9C0100"
        "9F0206000000012345"
        "5F2A020156"
        "82027C00"
        "9F1A020156"
        "9F3303E0F8C8"
        "9F3403420300"
        "9F350122"
        "9F2103134509"
        "8E0E000000000000271042031E031F00"
        "9F380E9F66049F02069F1A025F2A029A03");
}

void ListByData(benchmark::State& state, const Bytes& data) {
    for (auto _ : state) {
        std::string out;
        if (!CTlvParser().FormatTlvLevel(1, data, out)) {
            state.SkipWithError("the data did not list");
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void ListByEmv(benchmark::State& state, const Bytes& data) {
    size_t listed = 0;
    for (auto _ : state) {
        const std::string out = FormatEmvTlv(data);
        listed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
    state.counters["listing_bytes"] = static_cast<double>(listed);
}

void BM_DataRecords(benchmark::State& state) {
    ListByData(state, Repeat(Record(), 1 << 20));
}
void BM_EmvRecords(benchmark::State& state) {
    ListByEmv(state, Repeat(Record(), 1 << 20));
}
void BM_DataOneTemplate(benchmark::State& state) {
    ListByData(state, Wrap("77", Repeat(Record(), (1 << 20) - 8)));
}
void BM_EmvOneTemplate(benchmark::State& state) {
    ListByEmv(state, Wrap("77", Repeat(Record(), (1 << 20) - 8)));
}
void BM_DataField55(benchmark::State& state) {
    ListByData(state, Repeat(Field55(), 1 << 20));
}
void BM_EmvField55(benchmark::State& state) {
    ListByEmv(state, Repeat(Field55(), 1 << 20));
}

}  // namespace

BENCHMARK(BM_DataRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmvRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataOneTemplate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmvOneTemplate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataField55)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmvField55)->Unit(benchmark::kMillisecond);
