// Text rules that need no window: placeholders and positions.
#include <gtest/gtest.h>

#include "Text.h"

namespace {

TEST(PositionTest, FourNumbersPlaceAndAFifthHides) {
    const text::Position p = text::ParsePosition(L"10,20,100,25");
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
    EXPECT_EQ(p.width, 100);
    EXPECT_EQ(p.height, 25);
    EXPECT_FALSE(p.hide);
    EXPECT_TRUE(text::ParsePosition(L"10,20,100,25,1").hide);
}

}  // namespace
