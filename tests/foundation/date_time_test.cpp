#include "foundation/date_time.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/fake/fake_host.h"
#include "support/printers.h"

namespace kestrova {
namespace {

TEST(TimeToText, ShowsOnlyTheTimeFieldsThatAreNeeded) {
    const struct {
        DateTime time;
        const char* expected;
    } cases[] = {
        {{2020, 7, 3, 15, 4, 9}, "2020年7月3日15时4分9秒"},
        {{2020, 7, 3, 15, 4, 0}, "2020年7月3日15时4分"},
        {{2020, 7, 3, 15, 0, 0}, "2020年7月3日15时"},
        {{2020, 7, 3, 0, 0, 0}, "2020年7月3日"},
        {{2020, 7, 3, 0, 0, 5}, "2020年7月3日0时0分5秒"},
        {{2020, 7, 3, 0, 5, 0}, "2020年7月3日0时5分"},
        {{2026, 12, 9, 16, 25, 10}, "2026年12月9日16时25分10秒"},
        {{2020, 7, 3, 15, 0, 9}, "2020年7月3日15时0分9秒"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(timeToText(c.time), Text(c.expected));
    }
}

TEST(TimeToText, WritesTheUnitsInCodePage936) {
    EXPECT_EQ(timeToText({2020, 7, 3, 15, 4, 9}),
              Text("2020\xC4\xEA" "7\xD4\xC2" "3\xC8\xD5" "15\xCA\xB1" "4\xB7\xD6" "9\xC3\xEB"));
}

TEST(TimeToText, ShowsValuesOutsideTheRangeAsItsNearerEnd) {
    const struct {
        DateTime time;
        const char* expected;
    } cases[] = {
        {{100, 1, 1, 0, 0, 0}, "100年1月1日"},
        {{100, 1, 1, 0, 0, 1}, "100年1月1日0时0分1秒"},
        {{99, 12, 31, 23, 59, 59}, "100年1月1日"},
        {{INT_MIN, 1, 1, 0, 0, 0}, "100年1月1日"},
        {{9999, 12, 30, 23, 59, 59}, "9999年12月30日23时59分59秒"},
        {{9999, 12, 31, 0, 0, 0}, "9999年12月31日"},
        {{9999, 12, 31, 0, 0, 1}, "9999年12月31日"},
        {{9999, 12, 31, 23, 59, 59}, "9999年12月31日"},
        {{10000, 1, 1, 0, 0, 0}, "9999年12月31日"},
        {{INT_MAX, 1, 1, 12, 0, 0}, "9999年12月31日"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(timeToText(c.time), Text(c.expected));
    }
}

TEST(CurrentTime, AnswersTheHostClock) {
    fake::FakeHost host;
    platform::ScopedAdapter<platform::Host> guard(host);
    const DateTime noon{2024, 2, 29, 12, 0, 0};
    host.setTime(noon);
    EXPECT_EQ(currentTime(), noon);
    const DateTime later{2024, 3, 1, 0, 0, 1};
    host.setTime(later);
    EXPECT_EQ(currentTime(), later);
}

}  // namespace
}  // namespace kestrova
