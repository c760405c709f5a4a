#pragma once
#include <compare>
#include <cstdint>
#include <string>

#include "store/error.h"

namespace cl {

// An amount that is not a number or lies beyond what the program can hold or accepts.
class AmountError : public Error {
  public:
    using Error::Error;
};

// Rounds a double to n decimals, ties to the even digit. A value within a few units in the last
// place of a half is taken as that half, so that 2.675 (stored as 2.67499...) rounds as the
// decimal it stands for.
double roundHalfEven(double x, int decimals);
// Ties away from zero, as display formats do.
double roundHalfAway(double x, int decimals);

// A fixed-point amount with four decimals. No implicit conversion from double: every rounding
// is a named step.
class Money {
  public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t units) { return Money(units); }
    static constexpr Money fromInt(std::int64_t whole) {
        std::int64_t units = 0;
        if (__builtin_mul_overflow(whole, kScale, &units)) outOfRange();
        return Money(units);
    }
    // Rounded to 4 decimals, ties to even. NaN, infinity or an amount out of range throw.
    static Money fromDouble(double value);

    constexpr std::int64_t units() const { return units_; }
    double toDouble() const { return static_cast<double>(units_) / kScale; }
    Money round2() const;  // to the cent, ties to even
    Money round0() const;  // to the unit, ties to even
    // this + this x percent / 100 as one exact sum, rounded once to 4 decimals (ties to even):
    // rounding the percentage first and adding it would round twice.
    Money plusPercent(Money percent) const;
    std::int64_t wholePart() const { return units_ / kScale; }  // toward zero
    bool isZero() const { return units_ == 0; }
    // Plain text with "." and the decimals needed: 12.5, 3, -0.0125.
    std::string plain() const;

    // Sums that leave the 64-bit range throw rather than wrap to a wrong amount.
    friend constexpr Money operator+(Money a, Money b) {
        std::int64_t r = 0;
        if (__builtin_add_overflow(a.units_, b.units_, &r)) outOfRange();
        return Money(r);
    }
    friend constexpr Money operator-(Money a, Money b) {
        std::int64_t r = 0;
        if (__builtin_sub_overflow(a.units_, b.units_, &r)) outOfRange();
        return Money(r);
    }
    friend constexpr Money operator-(Money a) { return Money() - a; }
    // Exact decimal product and quotient, rounded to 4 decimals with ties to even.
    friend Money operator*(Money a, Money b);
    friend Money operator/(Money a, Money b);
    Money& operator+=(Money b) { return *this = *this + b; }
    friend constexpr auto operator<=>(Money, Money) = default;

    // Throws the message of an amount out of range.
    [[noreturn]] static void outOfRange();
    // num / den rounded to the nearest integer, ties to even; beyond 64 bits throws.
    static std::int64_t divideToEven(__int128 num, __int128 den);

  private:
    constexpr explicit Money(std::int64_t units) : units_(units) {}
    std::int64_t units_ = 0;
};

// The largest price or cost the program accepts, just under a million euro: anything larger is a
// typing or data error in a food store, and far from the 64-bit limit, so that a price times a
// quantity or a rate can never overflow in a report or a label.
inline constexpr Money kMaxAmount = Money::fromUnits(1'000'000LL * Money::kScale - 1);
// The amount lies within -kMaxAmount .. kMaxAmount.
inline bool withinLimits(Money m) {
    return m <= kMaxAmount && m >= Money() - kMaxAmount;
}
// Why a sale price is refused where it is typed or calculated: negative, not a number or beyond
// kMaxAmount. Empty for a price a store can mean (0 included: the update passes over it).
std::string salePriceRefusal(double price);
// An amount for a message, Italian style: in cents ("1.234,50"), or to 4 decimals where the cents
// alone would hide part of it ("12,2345").
std::string amountText(Money amount);
// The same for a price the operator gives, which must also be in whole cents: a till cannot
// charge 4,567, and labels and the price file would show it as 4,57.
std::string typedSalePriceRefusal(double price);

}  // namespace cl
