#include "foundation/date_time.h"

#include <string>
#include <tuple>

#include "platform/host.h"

namespace kestrova {

namespace {

auto chronological(const DateTime& time) {
    return std::tie(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

// The range the text form covers; a value outside it is shown as its nearer end.
constexpr DateTime earliest{100, 1, 1, 0, 0, 0};
constexpr DateTime latest{9999, 12, 31, 0, 0, 0};

DateTime clamped(const DateTime& time) {
    if (chronological(time) < chronological(earliest)) {
        return earliest;
    }
    if (chronological(time) > chronological(latest)) {
        return latest;
    }
    return time;
}

}  // namespace

DateTime currentTime() { return platform::host().localTime(); }

Text timeToText(const DateTime& time) {
    const DateTime shown = clamped(time);
    std::string text = std::to_string(shown.year) + "年" + std::to_string(shown.month) + "月" +
                       std::to_string(shown.day) + "日";
    if (shown.second != 0) {
        text += std::to_string(shown.hour) + "时" + std::to_string(shown.minute) + "分" +
                std::to_string(shown.second) + "秒";
    } else if (shown.minute != 0) {
        text += std::to_string(shown.hour) + "时" + std::to_string(shown.minute) + "分";
    } else if (shown.hour != 0) {
        text += std::to_string(shown.hour) + "时";
    }
    return Text(text);
}

}  // namespace kestrova
