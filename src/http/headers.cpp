#include "http/headers.h"

#include "http/markers.h"

namespace kestrova {

namespace {

const Text kLineBreak = "\r\n";

Text capitalizeFirst(const Text& text) {
    return concatText(toUpperText(leftText(text, 1)), midText(text, 2, textLength(text)));
}

// The first byte of the name and the first byte after each "-" raised; no
// byte is lowered.
Text canonicalName(const Text& name) {
    if (findText(name, "-") == -1) {
        return capitalizeFirst(name);
    }
    const TextArray pieces = splitText(name, "-");
    Text canonical;
    for (int32_t index = 1; index <= arraySize(pieces); ++index) {
        if (index > 1) {
            canonical += "-";
        }
        canonical += capitalizeFirst(pieces.item(index));
    }
    return canonical;
}

}  // namespace

Text normalizeHeaderBlock(const Text& block) {
    const TextArray lines = splitText(block, kLineBreak);
    Text result;
    for (const Text& line : lines) {
        const int32_t colon = findText(line, ":");
        if (colon == -1) {
            continue;
        }
        const Text canonical = canonicalName(midText(line, 1, colon - 1));
        // A name ending in "-" loses that piece in the split, so the rest starts
        // one byte earlier and the line keeps every byte.
        const Text rest = rightText(line, textLength(line) - textLength(canonical));
        result += concatText(canonical, rest, kLineBreak);
    }
    return leftText(result, textLength(result) - 2);
}

Text headerLineName(const Text& line) {
    const int32_t colon = findText(line, ":");
    return trimText(colon == -1 ? Text() : leftText(line, colon - 1));
}

Text headerLineValue(const Text& line) {
    const int32_t colon = findText(line, ":");
    return trimText(colon == -1 ? Text() : rightText(line, textLength(line) - colon));
}

Text findHeaderValue(const Text& block, const Text& name) {
    const TextArray lines = splitText(block, kLineBreak);
    for (const Text& line : lines) {
        if (leftText(line, textLength(name)) == name) {
            return textAfter(line, concatText(name, ": "));
        }
    }
    return Text();
}

}  // namespace kestrova
