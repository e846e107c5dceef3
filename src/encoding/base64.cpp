#include "encoding/base64.h"

#include <string>

#include "foundation/bytes.h"

namespace kestrova {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

Text base64Encode(const Bytes& data) {
    const int32_t length = bytesLength(data);
    if (length == 0) {
        return Text();
    }
    std::string encoded;
    encoded.reserve(static_cast<size_t>(length + 2) / 3 * 4);
    for (int32_t index = 1; index <= length; index += 3) {
        const int32_t present = length - index + 1 < 3 ? length - index + 1 : 3;
        // A short final group is read as if zero bytes followed it.
        const uint32_t group = (static_cast<uint32_t>(data.at(index)) << 16) |
                               (present > 1 ? static_cast<uint32_t>(data.at(index + 1)) << 8 : 0) |
                               (present > 2 ? static_cast<uint32_t>(data.at(index + 2)) : 0);
        encoded += kAlphabet[(group >> 18) & 0x3F];
        encoded += kAlphabet[(group >> 12) & 0x3F];
        encoded += present > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        encoded += present > 2 ? kAlphabet[group & 0x3F] : '=';
    }
    return Text(encoded);
}

}  // namespace kestrova
