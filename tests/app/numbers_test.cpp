#include "app/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/money.h"
#include "store/error.h"

namespace cl {
namespace {

using store::Value;

TEST(Normalizza, WorkedExamples) {
    EXPECT_EQ(normalizza(Value(), true), "");
    EXPECT_EQ(normalizza(Value(7), true), "7,0000");
    EXPECT_EQ(normalizza(Value(250), false), "250,0000");
    EXPECT_EQ(normalizza(Value(250), true), "2,5000");
    EXPECT_EQ(normalizza(Value(1250), true), "1,2500");
    EXPECT_EQ(normalizza(Value(12500), true), "1,2500");
    EXPECT_EQ(normalizza(Value(123456), true), "123.456,0000");
    EXPECT_EQ(normalizza(Value(25), true), "25,0000");
}

TEST(Normalizza, WhicheverSeparatorComesLastIsTheDecimal) {
    EXPECT_EQ(normalizza(Value("12.5"), true), "12,5000");
    EXPECT_EQ(normalizza(Value("12,5"), true), "12,5000");
    EXPECT_EQ(normalizza(Value("1,234.5"), true), "1.234,5000");
    EXPECT_EQ(normalizza(Value("1.234,5"), true), "1.234,5000");
    EXPECT_EQ(normalizza(Value("25"), false), "25,0000");
    // Typed text gets the implicit decimals like a number.
    EXPECT_EQ(normalizza(Value("250"), true), "2,5000");
    EXPECT_EQ(normalizza(Value(2.5), true), "2,5000");
}

TEST(Normalizza, TextThatIsNotANumberOnlyHasItsPointsTurnedToCommas) {
    EXPECT_EQ(normalizza(Value("abc.d"), true), "abc,d");
    EXPECT_EQ(normalizza(Value("a,b.c"), true), "a,b,c");
    EXPECT_EQ(normalizza(Value("x.y,z"), true), "x.y,z");
    EXPECT_EQ(normalizza(Value(""), true), "");
}

TEST(CorrezioneCentesimi, EndsOnZeroOrFiveCents) {
    const int expected[] = {0, -1, -2, 2, 1, 0, -1, -2, 2, 1};
    for (int d = 0; d <= 9; ++d) EXPECT_EQ(correzione_centesimi(d), expected[d]) << d;
    EXPECT_EQ(correzione_centesimi(5), 0);
    EXPECT_EQ(correzione_centesimi(7), -2);
    EXPECT_EQ(correzione_centesimi(-1), 0);
    EXPECT_EQ(correzione_centesimi(10), 0);
}

TEST(ReadingRules, LeadingNumber) {
    EXPECT_DOUBLE_EQ(leadingNumber("12,5"), 12);
    EXPECT_DOUBLE_EQ(leadingNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("  3.75kg"), 3.75);
    EXPECT_DOUBLE_EQ(leadingNumber("-2.5"), -2.5);
    EXPECT_DOUBLE_EQ(leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("-"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("1.234,5"), 1.234);
}

TEST(ReadingRules, LocaleNumber) {
    EXPECT_DOUBLE_EQ(*localeNumber("1.234,5"), 1234.5);
    EXPECT_DOUBLE_EQ(*localeNumber("12.5"), 125);
    EXPECT_DOUBLE_EQ(*localeNumber("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(*localeNumber(" -3,5 "), -3.5);
    EXPECT_DOUBLE_EQ(*localeNumber("0"), 0);
    EXPECT_FALSE(localeNumber(""));
    EXPECT_FALSE(localeNumber("abc"));
    EXPECT_FALSE(localeNumber("1,2,3"));
    EXPECT_FALSE(localeNumber("5%"));
    EXPECT_TRUE(isNumber("1.234,5"));
    EXPECT_FALSE(isNumber("dieci"));
    EXPECT_THROW(requireLocaleNumber("x", "% limite"), Error);
}

TEST(ReadingRules, TheNumberTestAndNormalizzaAgree) {
    // Every text the key handlers accept comes back from normalizza as a number, and no other.
    for (const char* t : {"12.5", "12,5", "1,234.5", "1.234,5", "250", "-3", "0,5", " 7 ",
                          "1.234.567", "1,2,3", "12a", "", "5.5.5", "1.234,5.6", "--1"}) {
        std::string n = normalizza(Value(t), true);
        EXPECT_EQ(isNumber(t), localeNumber(n).has_value()) << t << " -> " << n;
    }
    EXPECT_TRUE(isNumber("1,234.5"));
    EXPECT_FALSE(isNumber("1.234.567"));
    EXPECT_EQ(normalizza(Value("1.234.567"), true), "1,234,567");  // a text, not a number
}

TEST(ReadingRules, LastSeparatorAndWholeNumbers) {
    EXPECT_DOUBLE_EQ(*lastSeparatorNumber("5.5"), 5.5);
    EXPECT_DOUBLE_EQ(*lastSeparatorNumber("5,5"), 5.5);
    EXPECT_DOUBLE_EQ(*lastSeparatorNumber("1,234.5"), 1234.5);
    EXPECT_DOUBLE_EQ(*lastSeparatorNumber("1.234,5"), 1234.5);
    EXPECT_EQ(*wholeNumber(" 12 "), 12);
    EXPECT_EQ(*wholeNumber("-7"), -7);
    EXPECT_FALSE(wholeNumber("1.5"));
    EXPECT_FALSE(wholeNumber("3000000000"));
    EXPECT_FALSE(wholeNumber(""));
}

TEST(FormatNumber, ItalianPatterns) {
    EXPECT_EQ(formatNumber(1234.5, "#,##0.00"), "1.234,50");
    EXPECT_EQ(formatNumber(0.5, "#,##0.00"), "0,50");
    EXPECT_EQ(formatNumber(1234567.891, "#,##0.00"), "1.234.567,89");
    EXPECT_EQ(formatNumber(12.5, "##0.0000"), "12,5000");
    EXPECT_EQ(formatNumber(1234.5, "##0.0000"), "1234,5000");
    EXPECT_EQ(formatNumber(1234.5678, "###,##0.000"), "1.234,568");
    EXPECT_EQ(formatNumber(1234567.5, "#,###,##0.0000"), "1.234.567,5000");
    EXPECT_EQ(formatNumber(0, "#,###,##0.0000"), "0,0000");
    EXPECT_EQ(formatNumber(4, "00"), "04");
    EXPECT_EQ(formatNumber(22, "00"), "22");
    EXPECT_EQ(formatNumber(12, "000000"), "000012");
    EXPECT_EQ(formatNumber(12345, "000000000"), "000012345");
    EXPECT_EQ(formatNumber(1234567, "000000"), "1234567");
}

TEST(FormatNumber, NegativeValuesAndTiesAwayFromZero) {
    EXPECT_EQ(formatNumber(-1234.567, "#,##0.00"), "-1.234,57");
    EXPECT_EQ(formatNumber(-0.001, "#,##0.00"), "0,00");
    EXPECT_EQ(formatNumber(-5, "00"), "-05");
    EXPECT_EQ(formatNumber(2.675, "#,##0.00"), "2,68");
    EXPECT_EQ(formatNumber(2.665, "#,##0.00"), "2,67");
    EXPECT_EQ(formatNumber(-2.665, "#,##0.00"), "-2,67");
    EXPECT_EQ(formatNumber(0.0005, "###,##0.000"), "0,001");
}

TEST(Rounding, RoundHalfEvenTakesDecimalTiesToTheEvenDigit) {
    EXPECT_DOUBLE_EQ(roundHalfEven(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(roundHalfEven(2.665, 2), 2.66);
    EXPECT_DOUBLE_EQ(roundHalfEven(2.5, 0), 2);
    EXPECT_DOUBLE_EQ(roundHalfEven(3.5, 0), 4);
    EXPECT_DOUBLE_EQ(roundHalfEven(-2.5, 0), -2);
    EXPECT_DOUBLE_EQ(roundHalfEven(-3.5, 0), -4);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.005, 2), 1.0);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.0051, 2), 1.01);
    EXPECT_DOUBLE_EQ(roundHalfEven(-4.99, 2), -4.99);
    EXPECT_DOUBLE_EQ(roundHalfEven(1234567.125, 2), 1234567.12);
    EXPECT_DOUBLE_EQ(roundHalfEven(12345678.4, 0), 12345678);
    EXPECT_DOUBLE_EQ(roundHalfAway(12345678.4, 0), 12345678);
    EXPECT_DOUBLE_EQ(roundHalfEven(12345.675, 2), 12345.68);
    EXPECT_DOUBLE_EQ(roundHalfAway(2.5, 0), 3);
    EXPECT_DOUBLE_EQ(roundHalfAway(-2.5, 0), -3);
    EXPECT_TRUE(std::isnan(roundHalfEven(NAN, 2)));
}

TEST(MoneyConversion, FromDoubleRoundsToFourDecimalsTiesToEven) {
    EXPECT_EQ(Money::fromDouble(12.34).units(), 123400);
    EXPECT_EQ(Money::fromDouble(0.00005).units(), 0);
    EXPECT_EQ(Money::fromDouble(0.00015).units(), 2);
    EXPECT_EQ(Money::fromDouble(1.23445).units(), 12344);
    EXPECT_EQ(Money::fromDouble(1.23455).units(), 12346);
    EXPECT_EQ(Money::fromDouble(-0.00015).units(), -2);
    EXPECT_EQ(Money::fromDouble(-1.23445).units(), -12344);
    EXPECT_EQ(Money::fromDouble(0.1 + 0.2).units(), 3000);
    EXPECT_THROW(Money::fromDouble(NAN), Error);
    EXPECT_THROW(Money::fromDouble(INFINITY), Error);
    EXPECT_THROW(Money::fromDouble(1e300), Error);
    EXPECT_DOUBLE_EQ(Money::fromDouble(16.47).toDouble(), 16.47);
    // Large amounts keep their last decimal: no false ties.
    EXPECT_EQ(Money::fromDouble(123456.0001).units(), 1234560001);
    EXPECT_EQ(Money::fromDouble(123456.0).units(), 1234560000);
    EXPECT_EQ(Money::fromDouble(98765432.1234).units(), 987654321234);
}

TEST(MoneyConversion, Round2AndRound0AndText) {
    EXPECT_EQ(Money::fromDouble(1.235).round2(), Money::fromDouble(1.24));
    EXPECT_EQ(Money::fromDouble(1.245).round2(), Money::fromDouble(1.24));
    EXPECT_EQ(Money::fromDouble(1.2451).round2(), Money::fromDouble(1.25));
    EXPECT_EQ(Money::fromDouble(-1.235).round2(), Money::fromDouble(-1.24));
    EXPECT_EQ(Money::fromDouble(-1.245).round2(), Money::fromDouble(-1.24));
    EXPECT_EQ(Money::fromDouble(2.5).round0(), Money::fromInt(2));
    EXPECT_EQ(Money::fromDouble(3.5).round0(), Money::fromInt(4));
    EXPECT_EQ(Money::fromDouble(-2.5).round0(), Money::fromInt(-2));
    EXPECT_EQ(Money::fromDouble(12.5).plain(), "12.5");
    EXPECT_EQ(Money::fromInt(3).plain(), "3");
    EXPECT_EQ(Money::fromDouble(-0.0125).plain(), "-0.0125");
    EXPECT_EQ(Money::fromDouble(-7.9).wholePart(), -7);
}

TEST(MoneyArithmetic, ExactProductsAndQuotients) {
    Money cost = Money::fromInt(10), markup = Money::fromDouble(0.35),
          vat = Money::fromDouble(0.22);
    // Cost 10.00, markup 35, VAT 22 gives 16.47.
    Money a = cost + cost * markup;
    Money b = a + a * vat;
    EXPECT_EQ(a, Money::fromDouble(13.5));
    EXPECT_EQ(b.round2(), Money::fromDouble(16.47));
    EXPECT_EQ((Money::fromDouble(0.0001) * Money::fromDouble(0.5)).units(), 0);  // tie to even
    EXPECT_EQ((Money::fromDouble(0.0003) * Money::fromDouble(0.5)).units(), 2);  // 1.5 -> 2
    EXPECT_EQ((Money::fromInt(1) / Money::fromInt(3)).units(), 3333);
    EXPECT_EQ((Money::fromInt(2) / Money::fromInt(3)).units(), 6667);
    EXPECT_THROW(Money::fromInt(1) / Money(), Error);
    EXPECT_LT(Money::fromDouble(-0.01), Money());
}

TEST(ItalianForms, MomentsAsTheGridShowsThemAndAgreementWithACount) {
    EXPECT_EQ(formatDateTime("2026-12-09 17:47:07"), "09/12/2026 17:47");
    EXPECT_EQ(formatDateTime("2026-12-09T17:47:07.123"), "09/12/2026 17:47");
    EXPECT_EQ(formatDateTime("2026-12-09 17:47"), "09/12/2026 17:47");
    EXPECT_EQ(formatDateTime("2026-12-09"), "09/12/2026");
    EXPECT_EQ(formatDateTime(""), "");
    EXPECT_EQ(formatDateTime("ieri sera"), "ieri sera");  // not a moment: left as it is
    EXPECT_EQ(counted(1, "articolo", "articoli"), "1 articolo");
    EXPECT_EQ(counted(0, "articolo", "articoli"), "0 articoli");
    EXPECT_EQ(counted(2, "articolo", "articoli"), "2 articoli");
    EXPECT_EQ(byCount(1, "è stato", "sono stati"), "è stato");
    EXPECT_EQ(byCount(11, "è stato", "sono stati"), "sono stati");
}

}  // namespace
}  // namespace cl
