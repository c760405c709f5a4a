#include <gtest/gtest.h>

#include "app/money.h"
#include "app/numbers.h"

namespace cl {
namespace {

// Found by fuzzing: a whole number of five digits was shown with a stray ten-thousandth.
TEST(RoundingRegression, LargeWholeNumbersAreNotMistakenForHalves) {
    EXPECT_EQ(formatNumber(71234, "#,###,##0.0000"), "71.234,0000");
    EXPECT_EQ(roundHalfAway(71234, 4), 71234);
    EXPECT_EQ(roundHalfEven(123456789.0, 2), 123456789.0);
    EXPECT_EQ(Money::fromDouble(71234).plain(), "71234");
    // Decimal halves stored a hair below still round as the half they stand for.
    EXPECT_DOUBLE_EQ(roundHalfEven(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(roundHalfAway(1.005, 2), 1.01);
    EXPECT_EQ(normalizza(store::Value("71.234,"), false), "71.234,0000");
    EXPECT_EQ(normalizza(store::Value("505250522020"), false), "505.250.522.020,0000");
    EXPECT_EQ(formatNumber(9e20, "#,##0.00"), "900.000.000.000.000.000.000,00");
    EXPECT_EQ(formatNumber(-0.001, "#,##0.00"), "0,00");
}

}  // namespace
}  // namespace cl
