// What every result page costs before its links are probed: the conversion
// from UTF-8 and the search for the result links, on the real page and on a
// page whose links sit in one 5 MB line.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "encoding/code_page.h"
#include "platform/posix/automation_posix.h"
#include "platform/posix/code_pages_posix.h"
#include "regex/regex_object.h"

namespace kestrova {
namespace {

const Text resultLinkPattern = "a target=#引号_blank#引号 href=#引号(.*?)#引号 class=#引号c-showurl";

Bytes fixturePage() {
    std::ifstream file(KESTROVA_FIXTURE_DIR "/result-page-hello.html", std::ios::binary);
    return Bytes::fromRaw(std::string(std::istreambuf_iterator<char>(file), {}));
}

// One line of about 5 MB: filler text with a result link every 500 KB.
Text oneLinePage() {
    std::string line;
    for (int link = 0; line.size() < 5'000'000; ++link) {
        line.append(500'000, 'x');
        line += "<a target=\"_blank\" href=\"https://e.example/link?url=" + std::to_string(link) +
                "\" class=\"c-showurl c-color-gray\">";
    }
    return Text(line);
}

int64_t findLinks(const Text& page) {
    RegexObject regex;
    regex.execute(resultLinkPattern, page, false, false, true, true);
    return regex.matchCount();
}

void BM_Utf8ToAnsiResultPage(benchmark::State& state) {
    posix::PosixCodePages codePages;
    const platform::ScopedAdapter<platform::CodePages> guard(codePages);
    const Bytes page = fixturePage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(utf8ToAnsi(page));
    }
    state.SetBytesProcessed(state.iterations() * page.length());
}
BENCHMARK(BM_Utf8ToAnsiResultPage)->Unit(benchmark::kMillisecond);

void BM_ResultLinksOnResultPage(benchmark::State& state) {
    posix::PosixCodePages codePages;
    posix::PosixAutomationHost automation;
    const platform::ScopedAdapter<platform::CodePages> codePagesGuard(codePages);
    const platform::ScopedAdapter<platform::AutomationHost> automationGuard(automation);
    const Text page = utf8ToAnsi(fixturePage());
    for (auto _ : state) {
        state.counters["links"] = static_cast<double>(findLinks(page));
    }
    state.SetBytesProcessed(state.iterations() * page.length());
}
BENCHMARK(BM_ResultLinksOnResultPage)->Unit(benchmark::kMillisecond);

void BM_ResultLinksOnFiveMegabyteLine(benchmark::State& state) {
    posix::PosixAutomationHost automation;
    const platform::ScopedAdapter<platform::AutomationHost> guard(automation);
    const Text page = oneLinePage();
    for (auto _ : state) {
        state.counters["links"] = static_cast<double>(findLinks(page));
    }
    state.SetBytesProcessed(state.iterations() * page.length());
}
BENCHMARK(BM_ResultLinksOnFiveMegabyteLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrova
