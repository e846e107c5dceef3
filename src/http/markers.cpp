#include "http/markers.h"

#include <cstdlib>
#include <limits>

namespace kestrova {

namespace {

// Lets a caller write a marker holding double quotes as a plain literal.
const Text kQuotePlaceholder = "#引号";

// The distance a negative position stands for, with an absolute value of 1
// taken as 0. Kept within range: no text is long enough for the largest
// distance to matter.
int32_t reversedDistance(int32_t position) {
    const int32_t distance = position == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max()
                                                                                : std::abs(position);
    return distance == 1 ? 0 : distance;
}

}  // namespace

Text textBetween(const Text& text, const Text& leftMarker, const Text& rightMarker, int32_t start, bool ignoreCase) {
    const Text left = replaceText(leftMarker, kQuotePlaceholder, "\"");
    const Text right = replaceText(rightMarker, kQuotePlaceholder, "\"");
    const int32_t found = findText(text, left, start, ignoreCase);
    if (found == -1) {
        return Text();
    }
    const int32_t contentStart = found + textLength(left);
    const int32_t contentEnd = findText(text, right, contentStart, ignoreCase);
    if (contentEnd == -1) {
        return Text();
    }
    return midText(text, contentStart, contentEnd - contentStart);
}

Text textBefore(const Text& text, const Text& marker, int32_t position, bool ignoreCase) {
    const int32_t length = textLength(text);
    int32_t found = -1;
    if (position < 0) {
        found = findTextReverse(text, marker, length - reversedDistance(position) + 1, ignoreCase);
    } else {
        found = findText(text, marker, position == 0 ? 1 : position, ignoreCase);
    }
    if (found == -1) {
        return Text();
    }
    return leftText(text, found - 1);
}

Text textAfter(const Text& text, const Text& marker, int32_t position, bool ignoreCase) {
    const int32_t length = textLength(text);
    int32_t found = -1;
    if (position < 0) {
        const int32_t distance = reversedDistance(position);
        found = findText(text, marker, distance == 0 ? 1 : distance, ignoreCase);
    } else {
        found = findTextReverse(text, marker, length - position + 1, ignoreCase);
    }
    if (found == -1) {
        return Text();
    }
    return rightText(text, length - textLength(marker) - found + 1);
}

}  // namespace kestrova
