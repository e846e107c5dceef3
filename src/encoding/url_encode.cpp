#include "encoding/url_encode.h"

#include "encoding/code_page.h"
#include "foundation/bytes.h"
#include "foundation/numbers.h"

namespace kestrova {

namespace {

// The bytes a query value may carry as they are; "/" lies between "-" and "9"
// but is not one of them.
bool isPlainByte(unsigned char byte) {
    return byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z');
}

}  // namespace

Text urlEncode(const Text& text, bool keepPlain, bool asUtf8) {
    if (text.empty()) {
        return Text();
    }
    const Bytes bytes = textToBytes(asUtf8 ? ansiToUtf8(text) : text);
    Text encoded;
    for (int32_t index = 1; index <= bytesLength(bytes); ++index) {
        const unsigned char byte = bytes.at(index);
        Text code = toHexText(byte);
        if (textLength(code) == 1) {
            code = concatText("0", code);
        }
        if (keepPlain && isPlainByte(byte)) {
            encoded += charFromCode(byte);
        } else {
            encoded += concatText("%", code);
        }
    }
    return encoded;
}

}  // namespace kestrova
