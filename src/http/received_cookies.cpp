#include "http/received_cookies.h"

#include <optional>

#include "http/markers.h"

namespace kestrova {

Text collectReceivedCookies(const Text& responseHeaders) {
    Text received;
    for (const Text& line : splitText(responseHeaders, "\r\n")) {
        if (textBefore(line, ": ") != Text("Set-Cookie")) {
            continue;
        }
        const Text piece = findText(line, ";") > 0
                               ? trimText(textBetween(line, "Set-Cookie:", ";"))
                               : trimText(replaceText(line, "Set-Cookie:", "", 1, std::nullopt, true));
        received += concatText(piece, "; ");
    }
    return leftText(received, textLength(received) - 2);
}

}  // namespace kestrova
