#include "foundation/bytes.h"

#include <algorithm>

namespace kestrova {

int32_t bytesLength(const Bytes& bytes) { return bytes.length(); }

Bytes bytesLeft(const Bytes& bytes, int32_t count) {
    if (count <= 0) {
        return Bytes();
    }
    const auto& data = bytes.data();
    const auto kept = std::min(static_cast<size_t>(count), data.size());
    return Bytes(std::vector<unsigned char>(data.begin(), data.begin() + static_cast<ptrdiff_t>(kept)));
}

Bytes bytesMid(const Bytes& bytes, int32_t start, int32_t count) {
    const int32_t first = start < 1 ? 1 : start;
    if (first > bytes.length() || count <= 0) {
        return Bytes();
    }
    const auto& data = bytes.data();
    const size_t offset = static_cast<size_t>(first - 1);
    const size_t kept = std::min(static_cast<size_t>(count), data.size() - offset);
    return Bytes(std::vector<unsigned char>(data.begin() + static_cast<ptrdiff_t>(offset),
                                            data.begin() + static_cast<ptrdiff_t>(offset + kept)));
}

Bytes blankBytes(int32_t count) {
    if (count <= 0) {
        return Bytes();
    }
    return Bytes(std::vector<unsigned char>(static_cast<size_t>(count), 0));
}

Bytes concatBytes(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.append(part);
    }
    return joined;
}

Bytes textToBytes(const Text& text) { return Bytes::fromRaw(text.bytes()); }

Text bytesToText(const Bytes& bytes) { return Text(bytes.view()); }

}  // namespace kestrova
