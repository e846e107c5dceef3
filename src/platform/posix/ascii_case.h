#pragma once
// Comparison that folds the ASCII letters only, as header names and the
// components' member names are compared whatever the locale.

#include <algorithm>
#include <string_view>

namespace kestrova::posix {

inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equalsIgnoringAsciiCase(std::string_view left, std::string_view right) {
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), [](char l, char r) {
               return lowerAscii(l) == lowerAscii(r);
           });
}

}  // namespace kestrova::posix
