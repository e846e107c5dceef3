#include "support/printers.h"

#include <cstdio>
#include <string_view>

namespace kestrova {

namespace {

void printEscaped(std::string_view bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
            *out << c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            *out << escaped;
        }
    }
    *out << '"';
}

}  // namespace

void PrintTo(const Text& text, std::ostream* out) { printEscaped(text.bytes(), out); }

void PrintTo(const Bytes& bytes, std::ostream* out) { printEscaped(bytes.view(), out); }

void PrintTo(const TextArray& array, std::ostream* out) {
    *out << '{';
    const char* separator = "";
    for (const Text& item : array) {
        *out << separator;
        PrintTo(item, out);
        separator = ", ";
    }
    *out << '}';
}

void PrintTo(const DateTime& time, std::ostream* out) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    *out << text;
}

}  // namespace kestrova
