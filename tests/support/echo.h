#pragma once
// Reads what the test server's /echo route answers: the request line, the
// request headers as received, and the request body.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::test {

struct Echo {
    std::string requestLine;
    std::vector<std::string> headers;  // "Name: value", in the order received
    std::string body;

    // The header lines named `name` (compared as given, case included).
    std::vector<std::string> named(std::string_view name) const {
        std::vector<std::string> found;
        std::copy_if(headers.begin(), headers.end(), std::back_inserter(found), [&](const std::string& line) {
            return line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == ':';
        });
        return found;
    }
};

inline Echo parseEcho(std::string_view text) {
    Echo echo;
    const size_t end = text.find("\r\n\r\n");
    if (end == std::string_view::npos) {
        return echo;
    }
    std::string_view head = text.substr(0, end + 2);
    echo.body = std::string(text.substr(end + 4));
    bool first = true;
    while (!head.empty()) {
        const size_t lineEnd = head.find("\r\n");
        std::string line(head.substr(0, lineEnd));
        head.remove_prefix(lineEnd + 2);
        if (first) {
            echo.requestLine = std::move(line);
            first = false;
        } else {
            echo.headers.push_back(std::move(line));
        }
    }
    return echo;
}

}  // namespace kestrova::test
