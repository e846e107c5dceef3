#include "foundation/text.h"

#include <gtest/gtest.h>

#include "support/printers.h"

namespace kestrova {
namespace {

TEST(FindText, EmptySoughtAnswersOneWhenTheRegionHoldsBytes) {
    EXPECT_EQ(findText("abcdef", "", 5), 1);
    EXPECT_EQ(findText("", ""), -1);
}

}  // namespace
}  // namespace kestrova
