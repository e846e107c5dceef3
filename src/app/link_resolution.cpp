#include "app/link_resolution.h"

#include "app/controls.h"
#include "app/window_operations.h"
#include "http/headers.h"
#include "http/winhttp_client.h"
#include "regex/regex_object.h"

namespace kestrova {

namespace {

const Text resultLinkPattern =
    "a target=#引号_blank#引号 href=#引号(.*?)#引号 class=#引号c-showurl";

void findResultLinks(RegexObject& regex, const Text& page) {
    regex.execute(resultLinkPattern, page, false, false, true, true);
}

}  // namespace

int32_t collectPageLinks(const Text& page) {
    RegexObject regex;
    findResultLinks(regex, page);
    const int32_t matchTotal = regex.matchCount();
    const int32_t groupCount = regex.subMatchCount();
    for (int32_t match = 1; match <= matchTotal && groupCount > 0; ++match) {
        // Every probe starts from empty response headers, so a probe whose
        // request object cannot be created adds no line.
        WinHttpRequest probe{
            .url = regex.subMatchText(match, 1),
            .method = 0,
            .noRedirect = true,
        };
        fetchViaWinHttp(probe);
        const Text value = findHeaderValue(probe.responseHeaders, "Location");
        if (findText(value, "http") == -1) {
            continue;
        }
        if (const std::optional<Text> host = locationHost(value)) {
            appendControlText(controls::results, concatText(*host, "\r\n"));
        }
    }
    return matchTotal;
}

std::optional<Text> locationHost(const Text& value) {
    const TextArray pieces = splitText(value, "//");
    if (arraySize(pieces) < 2) {
        return std::nullopt;
    }
    const TextArray hostPieces = splitText(pieces.item(2), "/");
    if (arraySize(hostPieces) < 1) {
        return std::nullopt;
    }
    return hostPieces.item(1);
}

bool pageHasResultLinks(const Text& page) {
    RegexObject regex;
    findResultLinks(regex, page);
    return regex.matchCount() > 0;
}

}  // namespace kestrova
