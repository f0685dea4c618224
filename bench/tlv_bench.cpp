// Listing about 1 MB of nested card data: READ RECORD templates whose values hold objects down to
// the fifth depth, either one after another or all inside one large template.
#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/hex_codec.h"
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

// One record: 70 > 73 > 61 > 4F is five depths with the list of its 77 wrapper.
Bytes Record() {
    Bytes cert = HexToBytes("6A02");
    cert.resize(127, 0x00);
    cert.push_back(0xBC);
    const Bytes application =
        Join({Wrap("4F", HexToBytes("A000000333010101")),
              Wrap("50", HexToBytes("50424F43204445424954")), Wrap("87", HexToBytes("01"))});
    const Bytes directory = Join({Wrap("9F4D", HexToBytes("0B0A")), Wrap("61", application)});
    return Wrap("70", Join({Wrap("57", HexToBytes("6212345678901234D2412201123456789F")),
                            Wrap("5F20", HexToBytes("43415244484F4C444552")), Wrap("73", directory),
                            Wrap("90", cert)}));
}

Bytes Records(size_t total) {
    const Bytes record = Record();
    Bytes data;
    while (data.size() + record.size() <= total) {
        data.insert(data.end(), record.begin(), record.end());
    }
    return data;
}

void ListCardData(benchmark::State& state, const Bytes& data) {
    size_t listed = 0;
    for (auto _ : state) {
        std::string out;
        if (!CTlvParser().FormatTlvLevel(1, data, out)) {
            state.SkipWithError("the data did not list");
            return;
        }
        listed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["listing_bytes"] = static_cast<double>(listed);
}

void BM_ListRecords(benchmark::State& state) {
    ListCardData(state, Records(1 << 20));
}

void BM_ListOneTemplate(benchmark::State& state) {
    ListCardData(state, Wrap("77", Records((1 << 20) - 8)));
}

const bool kRegistered = [] {
    Register("ours", "tlv-1mb", BM_ListRecords)->Unit(benchmark::kMillisecond);
    Register("extra", "tlv-1mb-one-template", BM_ListOneTemplate)->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
