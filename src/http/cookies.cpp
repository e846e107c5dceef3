#include "http/cookies.h"

#include "app/dedup.h"

namespace kestrova {

namespace {

const Text kSeparator = "; ";
const Text kDeletedMark = "=deleted";

Text cookieName(const Text& pair) {
    const int32_t equals = findText(pair, "=");
    return trimText(equals == -1 ? pair : leftText(pair, equals - 1));
}

bool hasCookieNamed(const TextArray& pairs, const Text& name) {
    for (const Text& pair : pairs) {
        if (cookieName(pair) == name) {
            return true;
        }
    }
    return false;
}

// Trimmed; a final ";" gets its blank back so that the split sees a whole
// separator there and leaves no stray ";" on the last pair.
Text tidyCookieString(const Text& cookies) {
    Text tidy = trimText(cookies);
    if (rightText(tidy, 1) == ";") {
        tidy += " ";
    }
    return tidy;
}

}  // namespace

Text mergeCookies(Text& oldCookies, Text& newCookies) {
    oldCookies = tidyCookieString(oldCookies);
    newCookies = tidyCookieString(newCookies);
    const TextArray oldPairs = splitText(oldCookies, kSeparator);
    TextArray pairs = splitText(newCookies, kSeparator);
    for (const Text& pair : oldPairs) {
        if (!hasCookieNamed(pairs, cookieName(pair))) {
            arrayAppend(pairs, pair);
        }
    }
    Text merged;
    for (const Text& pair : pairs) {
        if (rightText(pair, textLength(kDeletedMark)) != kDeletedMark) {
            merged += concatText(pair, kSeparator);
        }
    }
    merged = leftText(merged, textLength(merged) - 2);
    oldCookies = removeDuplicateLines(merged, kSeparator, true);
    return oldCookies;
}

}  // namespace kestrova
