#pragma once
// Local date-times to the whole second, and their Chinese text form.

#include <cstdint>

#include "foundation/text.h"

namespace kestrova {

struct DateTime {
    int32_t year = 100;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

DateTime currentTime();
Text timeToText(const DateTime& time);

}  // namespace kestrova
