// The "EMV 标准解析" listing of about 1 MB of card data beside the default listing of the same
// data, which it should stay within a few times of: READ RECORD templates one after another, all
// inside one large template, and a field-55 dump whose every object gets explained.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "tlv/emv_tlv_listing.h"
#include "tlv/tlv_parser.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Wrap gives tag, the shortest definite length field and the value.
Bytes Wrap(const char* tag_hex, const Bytes& value) {
    Bytes out = HexToBytes(tag_hex);
    const size_t n = value.size();
    if (n >= 0x10000) {
        out.insert(out.end(), {0x83, static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                               static_cast<uint8_t>(n)});
    } else if (n >= 0x100) {
        out.insert(out.end(), {0x82, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
    } else if (n >= 0x80) {
        out.insert(out.end(), {0x81, static_cast<uint8_t>(n)});
    } else {
        out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Record() {
    Bytes cert = HexToBytes("6A02");
    cert.resize(127, 0x00);
    cert.push_back(0xBC);
    const Bytes application =
        Join({Wrap("4F", HexToBytes("A000000333010101")),
              Wrap("50", HexToBytes("50424F43204445424954")), Wrap("87", HexToBytes("01"))});
    const Bytes directory = Join({Wrap("9F4D", HexToBytes("0B0A")), Wrap("61", application)});
    return Wrap("70", Join({Wrap("57", HexToBytes("6212345678901232D24122011234567890")),
                            Wrap("5F20", HexToBytes("5A48414E472F53414E20")), Wrap("73", directory),
                            Wrap("90", cert)}));
}

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

Bytes Repeat(const Bytes& unit, size_t total) {
    Bytes data;
    while (data.size() + unit.size() <= total) {
        data.insert(data.end(), unit.begin(), unit.end());
    }
    return data;
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
