// De-duplication of a results text: the run ends with it on every line
// collected, so its time must grow in step with the number of lines.

#include <benchmark/benchmark.h>

#include <string>

#include "app/dedup.h"

namespace {

// `lines` host lines, half of them repeats: every even line names a new host,
// every odd line one of those hosts, scattered over the text.
kestrova::Text resultsText(int64_t lines) {
    std::string text;
    const int64_t distinct = lines / 2 > 0 ? lines / 2 : 1;
    for (int64_t i = 0; i < lines; ++i) {
        const int64_t host = (i % 2 == 0) ? i / 2 : (i * 7919) % distinct;
        text += "www.host";
        text += std::to_string(host);
        text += ".example.com\r\n";
    }
    return kestrova::Text(text);
}

void RemoveDuplicateLines(benchmark::State& state) {
    const kestrova::Text text = resultsText(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kestrova::removeDuplicateLines(text, "\r\n", true));
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(RemoveDuplicateLines)->RangeMultiplier(2)->Range(12'500, 200'000)->Complexity(benchmark::oN)->Unit(
    benchmark::kMillisecond);

}  // namespace
