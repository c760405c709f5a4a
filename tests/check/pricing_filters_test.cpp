#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/percentages.h"
#include "app/price_rounding.h"
#include "check/filters.h"
#include "check/pricing.h"
#include "store/error.h"

namespace cl::check {
namespace {

Money m(double x) {
    return Money::fromDouble(x);
}

TEST(Pricing, WorkedExamplesAndRounding) {
    // 10 + 3.5 = 13.5; 13.5 + 2.97 = 16.47; to 0.05: 16.50.
    EXPECT_EQ(calculatedPrice(m(10), m(35), m(22)), m(16.47));
    EXPECT_EQ(roundToFiveCents(m(16.47)), m(16.50));
    // 1.30 + 0.286 = 1.586 -> 1.59 -> 1.60.
    EXPECT_EQ(calculatedPrice(m(1), m(30), m(22)), m(1.59));
    EXPECT_EQ(roundToFiveCents(m(1.59)), m(1.60));
    struct {
        double in, out;
    } fives[] = {{2.42, 2.45}, {2.45, 2.45}, {2.40, 2.40}, {2.41, 2.45},
                 {2.46, 2.50}, {2.49, 2.50}, {0.01, 0.05}, {9.99, 10.00}};
    for (auto c : fives) EXPECT_EQ(roundToFiveCents(m(c.in)), m(c.out)) << c.in;
    // Ties of the cent go to the even digit: 0.125 -> 0.12, 0.135 -> 0.14.
    EXPECT_EQ(calculatedPrice(m(0.125), m(0), m(0)), m(0.12));
    EXPECT_EQ(calculatedPrice(m(0.135), m(0), m(0)), m(0.14));
    // The markup share is rounded to 4 decimals before VAT: 0.3333 x 10 % = 0.03333 -> 0.0333.
    EXPECT_EQ(percentOf(m(0.3333), m(10)), m(0.0333));
}

TEST(Pricing, VariationVatAndMargin) {
    EXPECT_EQ(variationPercent(m(11), m(10)), 10);
    EXPECT_EQ(variationPercent(m(9.4999), m(10)), -5);  // -5.001 -> -5.00
    EXPECT_EQ(variationPercent(m(5), m(0)), 100);       // nothing to compare with
    EXPECT_EQ(vatRate("22"), m(22));
    EXPECT_EQ(vatRate("4 "), m(4));
    EXPECT_EQ(vatRate(""), m(0));  // no rate: priced without VAT
    EXPECT_EQ(vatRate("XX"), m(0));
    // Price 12.20 with VAT 22: net 10, cost 8 -> margin 20 %.
    EXPECT_NEAR(newMargin(m(12.2), m(22), m(8), 35), 20, 1e-9);
    EXPECT_EQ(newMargin(m(0), m(22), m(8), 35), 35);             // price 0: the default
    EXPECT_EQ(newMargin(m(12.2), std::nullopt, m(8), 35), 35);   // no VAT rate
    EXPECT_EQ(newMargin(m(12.2), m(22), std::nullopt, 35), 35);  // no cost
    EXPECT_EQ(newPublicPrice(m(10), m(35), m(22)), m(16.47));
}

struct FilterCase {
    const char* name;
    FilterBoxes boxes;  // tut, nuo, piu, men, sve
    const char* limit;
    ComparedRow row;  // V, new, sold, cost difference
    bool written;
};

TEST(ComparisonFilters, Table) {
    const FilterBoxes all{true, true, true, true, false};
    const FilterBoxes piuOnly{false, false, true, false, false};
    const FilterBoxes menOnly{false, false, false, true, false};
    const FilterBoxes piuTut{true, false, true, false, false};
    const FilterCase cases[] = {
        {"F1a increased above limit", piuOnly, "0", {3, false, 0, 0}, true},
        {"F1a equal price not written", piuOnly, "0", {0, false, 0, 0}, false},
        {"F1a equal price with Tutti", piuTut, "0", {0, false, 0, 0}, true},
        {"F1a new without Nuovi never, even with Tutti", piuTut, "0", {100, true, 0, 0}, false},
        {"F1a new with Nuovi", {false, true, true, false, false}, "0", {100, true, 0, 0}, true},
        {"F1a below limit", piuOnly, "5", {4, false, 0, 0}, false},
        {"F1b new with Nuovi only",
         {false, true, false, false, false},
         "0",
         {100, true, 0, 0},
         true},
        {"F1c fell 5.01 over limit 5", menOnly, "5", {-5.01, false, 0, 0}, true},
        {"F1c fell 4.99 under limit 5", menOnly, "5", {-4.99, false, 0, 0}, false},
        {"F1c limit 0 never", menOnly, "0", {-30, false, 0, 0}, false},
        {"F3a cost fell, limit 0", menOnly, "0", {-30, false, 0, -1}, true},
        {"F3a cost fell, new without Nuovi", menOnly, "0", {-30, true, 0, -1}, false},
        {"F3b cost rose, limit 0", piuOnly, "0", {-1, false, 0, 0.5}, true},
        {"F3b needs limit 0", piuOnly, "2", {-1, false, 0, 0.5}, false},
        {"F3c Tutti writes", {true, false, false, false, false}, "0", {0, false, 0, 0}, true},
        {"F3d nothing ticked", {}, "0", {50, false, 0, 5}, false},
        {"defaults write all", all, "0", {0, false, 0, 0}, true},
        {"F2a sold, rose over limit",
         {false, false, true, false, true},
         "2",
         {3, false, 4, 0},
         true},
        {"F2a sold, limit 0", {false, false, true, false, true}, "0", {3, false, 4, 0}, false},
        {"F2a sold, piu decides alone",
         {true, false, true, true, true},
         "2",
         {-9, false, 4, 0},
         false},
        {"F2a sold, V 100 goes to men",
         {false, false, true, true, true},
         "2",
         {100, false, 4, 0},
         false},
        {"F2a sold, fell over limit",
         {false, false, false, true, true},
         "2",
         {-3, false, 4, 0},
         true},
        {"F2a sold, nothing else tried",
         {true, false, false, false, true},
         "2",
         {-3, false, 4, 0},
         false},
        {"F2b not sold: cost rules",
         {true, false, false, false, true},
         "2",
         {-3, false, 0, 0},
         true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passesComparisonFilters(c.boxes, Limit(c.limit), c.row), c.written) << c.name;
}

struct BarcodeCase {
    const char* name;
    FilterBoxes boxes;
    const char* limit;
    double p;
    long long sold;
    bool written;
};

TEST(BarcodeFilters, Table) {
    const FilterBoxes piuOnly{false, false, true, false, false};
    const BarcodeCase cases[] = {
        {"A1 increased", piuOnly, "0", 2, 0, true},
        {"A1 old cost 0, only Aumentati", piuOnly, "0", 100, 0, false},
        {"A1 old cost 0, with Nuovi", {false, true, true, false, false}, "0", 100, 0, true},
        {"A2 decreased", {false, false, false, true, false}, "0", -1, 0, true},
        {"A3 at most the limit", piuOnly, "5", -3, 0, true},
        {"A3 limit 0 never", piuOnly, "0", -3, 0, false},
        {"A4 to B, Tutti", {true, false, false, false, false}, "0", 0, 0, true},
        {"A4 to B, nothing", {}, "0", 0, 0, false},
        {"B sold over limit", {false, false, true, false, true}, "5", 6, 3, true},
        {"B sold fell 1", {false, false, false, true, true}, "0", -1, 3, true},
        {"B sold fell 0.5", {false, false, false, true, true}, "0", -0.5, 3, false},
        {"B sold rose over 1, limit 0", {false, false, true, false, true}, "0", 1.5, 3, true},
        {"B sold: Tutti not used", {true, false, false, false, true}, "0", 0, 3, false},
        {"B not sold: Tutti", {true, false, false, false, true}, "0", 0, 0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passesBarcodeFilters(c.boxes, Limit(c.limit), c.p, c.sold), c.written) << c.name;
}

TEST(Limit, ReadsBothWaysAndFailsOnlyWhenLocaleReadingIsNeeded) {
    EXPECT_EQ(Limit("5,5").value(), 5);  // leading number stops at the comma
    EXPECT_TRUE(Limit("5,5").nonZero());
    EXPECT_EQ(Limit("0,5").value(), 0);
    EXPECT_TRUE(Limit("0,5").nonZero());
    Limit bad("abc");
    EXPECT_EQ(bad.value(), 0);
    EXPECT_THROW(bad.nonZero(), Error);
    // Not asked for: no failure.
    EXPECT_FALSE(passesComparisonFilters({}, bad, {3, false, 0, 0}));
    EXPECT_THROW(
        passesComparisonFilters({false, false, false, true, false}, bad, {-3, false, 0, 0}), Error);
}

}  // namespace
}  // namespace cl::check

namespace cl::check {
namespace {

// Sums beyond the 64-bit range used to wrap to a negative price without a word.
TEST(PricingLimits, OverflowThrowsInsteadOfWrapping) {
    const Money huge = Money::fromInt(600'000'000'000'000);
    EXPECT_THROW(calculatedPrice(huge, Money::fromInt(30), Money::fromInt(22)), AmountError);
    EXPECT_THROW(newPublicPrice(huge, Money::fromInt(30), Money::fromInt(22)), AmountError);
    EXPECT_THROW(percentOf(huge, Money::fromInt(1'000'000)), AmountError);
    const Money top = Money::fromUnits(std::numeric_limits<std::int64_t>::max());
    EXPECT_THROW(top + Money::fromUnits(1), AmountError);
    EXPECT_THROW(Money() - top - Money::fromUnits(2), AmountError);
    EXPECT_THROW(Money::fromInt(std::int64_t{1} << 60), AmountError);
    EXPECT_EQ(calculatedPrice(Money::fromInt(10), Money::fromInt(30), Money::fromInt(22)).plain(),
              "15.86");
}

TEST(PricingLimits, SalePricesFromZeroToJustUnderAMillion) {
    EXPECT_EQ(salePriceRefusal(0), "");
    EXPECT_EQ(salePriceRefusal(999999.99), "");
    EXPECT_NE(salePriceRefusal(-0.01), "");
    EXPECT_NE(salePriceRefusal(1000000), "");
    EXPECT_NE(salePriceRefusal(std::nan("")), "");
    EXPECT_TRUE(withinLimits(kMaxAmount));
    EXPECT_FALSE(withinLimits(kMaxAmount + Money::fromUnits(1)));
}

}  // namespace
}  // namespace cl::check
