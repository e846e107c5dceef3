#include "app/dedup.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace kestrova {

Text removeDuplicateLines(const Text& text, const Text& delimiter, bool splitByDelimiter) {
    TextArray items;
    if (splitByDelimiter) {
        items = splitText(text, delimiter);
    } else {
        splitCharacters(text, items);
    }
    // A hash set of the kept items instead of a scan of them, so a results
    // text of many thousand lines takes linear time; the views stay valid
    // while `items` lives.
    std::unordered_set<std::string_view> kept;
    kept.reserve(static_cast<size_t>(arraySize(items)));
    Text output;
    for (const Text& item : items) {
        if (kept.insert(item.bytes()).second) {
            output += item;
            output += delimiter;
        }
    }
    return leftText(output, textLength(output) - textLength(delimiter));
}

int32_t countLines(const Text& text) {
    if (text.empty()) {
        return 0;
    }
    return static_cast<int32_t>(std::count(text.bytes().begin(), text.bytes().end(), '\n')) + 1;
}

int32_t findInTextArray(const TextArray& array, const Text& text) {
    for (int32_t index = 1; index <= arraySize(array); ++index) {
        if (array.item(index) == text) {
            return index;
        }
    }
    return -1;
}

int32_t splitCharacters(const Text& text, TextArray& array) {
    array.clear();
    const int32_t length = textLength(text);
    int32_t position = 1;
    while (position <= length) {
        const unsigned char byte = text.byteAt(position);
        const bool pairs = position < length && (byte >= 0x81 || (byte == '\r' && text.byteAt(position + 1) == '\n'));
        const int32_t width = pairs ? 2 : 1;
        arrayAppend(array, midText(text, position, width));
        position += width;
    }
    return arraySize(array);
}

}  // namespace kestrova
