#pragma once
// De-duplication of delimited text and the line count of the results.

#include <cstdint>

#include "foundation/text.h"

namespace kestrova {

Text removeDuplicateLines(const Text& text, const Text& delimiter, bool splitByDelimiter);
int32_t countLines(const Text& text);
int32_t findInTextArray(const TextArray& array, const Text& text);
int32_t splitCharacters(const Text& text, TextArray& array);

}  // namespace kestrova
