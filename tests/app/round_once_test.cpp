// Prices and costs built from a sum are rounded once, on the whole sum: rounding a percentage
// share to 4 decimals first and then adding it moves ties, and a price by a cent.
#include <gtest/gtest.h>

#include "app/money.h"
#include "check/pricing.h"
#include "review/recalc.h"

namespace cl {
namespace {

Money m(const char* text) {
    return Money::fromDouble(std::stod(text));
}

TEST(RoundOnce, PlusPercentRoundsTheWholeSum) {
    // 27.7025 + 6.09455 = 33.79705 -> 33.7970 (ties to even); the share first would give 33.7971.
    EXPECT_EQ(m("27.7025").plusPercent(Money::fromInt(22)).plain(), "33.797");
    EXPECT_EQ(m("0.0001").plusPercent(Money::fromInt(50)).plain(), "0.0002");  // 0.00015
    EXPECT_EQ(m("10").plusPercent(Money::fromInt(22)).plain(), "12.2");
    EXPECT_EQ(m("10").plusPercent(Money::fromInt(-100)).plain(), "0");
    EXPECT_EQ(m("-27.7025").plusPercent(Money::fromInt(22)).plain(), "-33.797");
    EXPECT_EQ(m("3.3333").plusPercent(m("12.5")).plain(), "3.75");  // 3.7499625
}

TEST(RoundOnce, RunPricesFromCostMarkupAndVat) {
    using check::barcodeCheckPrice;
    using check::newPublicPrice;
    // 1.0035 + 30 % = 1.30455 -> 1.3046; + 10 % = 1.43506 -> 1.44 (1.3045 would give 1.43).
    EXPECT_EQ(newPublicPrice(m("1.0035"), m("30"), m("10")).plain(), "1.44");
    EXPECT_EQ(newPublicPrice(m("1.0027"), m("50"), m("22")).plain(), "1.83");
    EXPECT_EQ(newPublicPrice(m("10"), m("35"), m("22")).plain(), "16.47");
    // The barcode check rounds each whole sum too: net and gross.
    EXPECT_EQ(barcodeCheckPrice(m("1.0035"), m("30"), m("10")).plain(), "1.44");
    // 1.0955 + 10 % = 1.20505 -> 1.2050 -> 1.20 (the share first: 1.2051 -> 1.21).
    EXPECT_EQ(barcodeCheckPrice(m("1.0955"), m("0"), m("10")).plain(), "1.2");
    EXPECT_EQ(barcodeCheckPrice(m("10"), m("35"), m("22")).plain(), "16.47");
    // The changed-article run keeps its share rounded to 4 decimals before the sum, as asked.
    EXPECT_EQ(check::calculatedPrice(m("1.0955"), m("0"), m("10")).plain(), "1.21");
}

TEST(RoundOnce, RecalculatedPriceGoesToTheCentFromTheExactAmount) {
    using review::priceFromCost;
    using review::priceFromPercentage;
    // 3.9833 + 50 % = 5.97495: to the cent 5.97, then to 5.95. Through 4 decimals it would be
    // 5.9750 -> 5.98 -> 6.00. Without the rounding option the price stays 5.97, not 5.98.
    EXPECT_EQ(priceFromPercentage(m("3.9833"), 50.0f, true).plain(), "5.95");
    EXPECT_EQ(priceFromPercentage(m("3.9833"), 50.0f, false).plain(), "5.97");
    // 4.8975 + 22 % VAT = 5.97495, the same way.
    EXPECT_EQ(priceFromCost(m("4.8975"), 0.0f, 22, true).plain(), "5.95");
    EXPECT_EQ(priceFromCost(m("4.8975"), 0.0f, 22, false).plain(), "5.97");
    EXPECT_EQ(priceFromCost(m("1"), 30.0f, 22, true).plain(), "1.6");
}

}  // namespace
}  // namespace cl
