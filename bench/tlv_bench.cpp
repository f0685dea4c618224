// Listing about 1 MB of nested card data: READ RECORD templates whose values hold objects down to
// the fifth depth, either one after another or all inside one large template.
#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "card_data.h"
#include "tlv/tlv_parser.h"

namespace {

using namespace card_data;

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
    ListCardData(state, Repeat(Record(), 1 << 20));
}

void BM_ListOneTemplate(benchmark::State& state) {
    ListCardData(state, Wrap("77", Repeat(Record(), (1 << 20) - 8)));
}

const bool kRegistered = [] {
    Register("ours", "tlv-1mb", BM_ListRecords)->Unit(benchmark::kMillisecond);
    Register("extra", "tlv-1mb-one-template", BM_ListOneTemplate)->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
