#include "http/url_parts.h"

#include "foundation/numbers.h"
#include "http/markers.h"

namespace kestrova {

namespace {

Text cutPort(const Text& host, bool keepPort) {
    const int32_t colon = findText(host, ":");
    if (keepPort || colon == -1) {
        return host;
    }
    return leftText(host, colon - 1);
}

// The host as found after the scheme: only "/" ends it.
Text hostByScheme(const Text& url, bool mainDomain, bool keepPort) {
    Text lowered = toLowerText(url);
    if (rightText(lowered, 1) != "/") {
        lowered += "/";
    }
    Text host;
    if (leftText(lowered, 8) == "https://") {
        host = textBetween(lowered, "https://", "/");
    } else {
        if (findText(lowered, "http://") == -1) {
            lowered = concatText("http://", lowered);
        }
        host = textBetween(lowered, "http://", "/");
    }
    if (mainDomain) {
        const TextArray labels = splitText(host, ".");
        const int32_t count = arraySize(labels);
        if (count >= 2) {
            host = concatText(labels.item(count - 1), ".", labels.item(count));
        }
    }
    return cutPort(host, keepPort);
}

// The host reduced to its last labels, counted from the right.
Text hostByLevels(const Text& url, bool mainDomain, bool keepPort, int32_t levels) {
    Text host = replaceText(replaceText(toLowerText(url), "http://"), "https://");
    const int32_t slash = findText(host, "/");
    if (slash != -1) {
        host = leftText(host, slash - 1);
    }
    const int32_t length = textLength(host);
    int32_t dot = length;
    // Once no dot is left every further step finds none either, so the loop
    // stops there instead of running out a huge count.
    for (int32_t step = 0; step < levels && dot != -1; ++step) {
        dot = findTextReverse(host, ".", dot);
    }
    const int32_t kept = findTextReverse(host, ".", dot);
    if (mainDomain) {
        host = rightText(host, length - kept);
    } else if (kept != -1) {
        const int32_t further = findTextReverse(host, ".", kept);
        if (further != -1) {
            host = rightText(host, length - further);
        }
    }
    return cutPort(host, keepPort);
}

}  // namespace

Text urlHost(const Text& url, bool mainDomain, bool keepPort, std::optional<int32_t> levels) {
    if (levels.has_value()) {
        return hostByLevels(url, mainDomain, keepPort, *levels);
    }
    return hostByScheme(url, mainDomain, keepPort);
}

int32_t urlPort(const Text& url) {
    const Text host = urlHost(url, false, true);
    const int32_t colon = findTextReverse(host, ":");
    if (colon == -1) {
        return leftText(toLowerText(url), 5) == "https" ? 443 : 80;
    }
    return textToInt(rightText(host, textLength(host) - colon));
}

Text urlPath(const Text& url) {
    const Text host = urlHost(url);
    const int32_t hostStart = findText(url, host, 1, true);
    const int32_t slash = findText(url, "/", hostStart, true);
    if (slash == -1) {
        return "/";
    }
    return rightText(url, textLength(url) - slash + 1);
}

}  // namespace kestrova
