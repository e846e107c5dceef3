#include "platform/posix/proxy_list.h"

#include <algorithm>
#include <vector>

#include "platform/posix/ascii_case.h"

namespace kestrova::posix {

namespace {

std::vector<std::string_view> splitEntries(std::string_view list, std::string_view separators) {
    std::vector<std::string_view> entries;
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = std::min(list.find_first_of(separators, start), list.size());
        if (end > start) {
            entries.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return entries;
}

// Wildcard match with "*" only; backtracks to the last star, so it runs in
// time proportional to pattern times host at worst.
bool matchesPattern(std::string_view pattern, std::string_view host) {
    size_t p = 0;
    size_t h = 0;
    size_t starAt = std::string_view::npos;
    size_t hostAtStar = 0;
    while (h < host.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            hostAtStar = h;
        } else if (p < pattern.size() && lowerAscii(pattern[p]) == lowerAscii(host[h])) {
            ++p;
            ++h;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            h = ++hostAtStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool bypassed(std::string_view bypassList, std::string_view host) {
    for (const std::string_view pattern : splitEntries(bypassList, " \t;,")) {
        if (equalsIgnoringAsciiCase(pattern, "<local>") ? host.find('.') == std::string_view::npos
                                                   : matchesPattern(pattern, host)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string proxyForRequest(std::string_view proxyList, std::string_view bypassList, bool secure,
                            std::string_view host) {
    const std::string_view scheme = secure ? "https" : "http";
    std::string_view forEveryScheme;
    std::string_view forThisScheme;
    for (const std::string_view entry : splitEntries(proxyList, " \t;")) {
        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (forEveryScheme.empty()) {
                forEveryScheme = entry;
            }
        } else if (forThisScheme.empty() && equalsIgnoringAsciiCase(entry.substr(0, equals), scheme)) {
            forThisScheme = entry.substr(equals + 1);
        }
    }
    const std::string_view server = forThisScheme.empty() ? forEveryScheme : forThisScheme;
    if (server.empty() || bypassed(bypassList, host)) {
        return {};
    }
    if (server.find("://") != std::string_view::npos) {
        return std::string(server);
    }
    return "http://" + std::string(server);
}

}  // namespace kestrova::posix
