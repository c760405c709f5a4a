#pragma once
#include <compare>
#include <cstdint>
#include <string>

namespace cl {

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
    static constexpr Money fromInt(std::int64_t whole) { return Money(whole * kScale); }
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

    friend constexpr Money operator+(Money a, Money b) { return Money(a.units_ + b.units_); }
    friend constexpr Money operator-(Money a, Money b) { return Money(a.units_ - b.units_); }
    friend constexpr Money operator-(Money a) { return Money(-a.units_); }
    // Exact decimal product and quotient, rounded to 4 decimals with ties to even.
    friend Money operator*(Money a, Money b);
    friend Money operator/(Money a, Money b);
    Money& operator+=(Money b) { return *this = *this + b; }
    friend constexpr auto operator<=>(Money, Money) = default;

  private:
    constexpr explicit Money(std::int64_t units) : units_(units) {}
    std::int64_t units_ = 0;
};

}  // namespace cl
