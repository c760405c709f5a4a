#include "app/money.h"

#include <cmath>
#include <limits>

#include "app/numbers.h"
#include "store/error.h"

namespace cl {

namespace {

double pow10(int n) {
    double p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// Nearest integer to y where y is an exact half (within tolerance) goes by `tie`.
template <typename Tie>
double roundScaled(double y, Tie tie) {
    double fl = std::floor(y);
    double frac = y - fl;
    // Only the representation error of y itself counts as a half: a few units in its last place.
    // Past 2^52 a double holds no fraction at all.
    if (std::fabs(y) >= 4503599627370496.0) return y;
    double tol =
        std::min(1e-6, std::max(1e-9, 4 * std::numeric_limits<double>::epsilon() * std::fabs(y)));
    if (std::fabs(frac - 0.5) <= tol) return tie(fl);
    return frac < 0.5 ? fl : fl + 1;
}

}  // namespace

std::int64_t Money::divideToEven(__int128 num, __int128 den) {
    if (den < 0) num = -num, den = -den;
    __int128 q = num / den, r = num % den;
    if (r < 0) r += den, q -= 1;  // floor division
    __int128 twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0))) q += 1;
    if (q > std::numeric_limits<std::int64_t>::max() ||
        q < std::numeric_limits<std::int64_t>::min())
        Money::outOfRange();
    return static_cast<std::int64_t>(q);
}

void Money::outOfRange() {
    throw AmountError("Attenzione ... Importo fuori dai limiti.");
}

double roundHalfEven(double x, int decimals) {
    if (!std::isfinite(x)) return x;
    double p = pow10(decimals);
    return roundScaled(x * p, [](double fl) { return std::fmod(fl, 2.0) == 0 ? fl : fl + 1; }) / p;
}

double roundHalfAway(double x, int decimals) {
    if (!std::isfinite(x)) return x;
    double p = pow10(decimals);
    return roundScaled(x * p, [](double fl) { return fl >= 0 ? fl + 1 : fl; }) / p;
}

Money Money::fromDouble(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 9e14)
        throw AmountError("Attenzione ... Importo non valido o fuori dai limiti.");
    double y = roundScaled(value * kScale,
                           [](double fl) { return std::fmod(fl, 2.0) == 0 ? fl : fl + 1; });
    return Money(static_cast<std::int64_t>(y));
}

Money Money::round2() const {
    return Money(divideToEven(units_, 100) * 100);
}
Money Money::round0() const {
    return Money(divideToEven(units_, kScale) * kScale);
}

Money Money::plusPercent(Money percent) const {
    const __int128 hundred = static_cast<__int128>(100) * kScale;
    return Money(divideToEven(static_cast<__int128>(units_) * (hundred + percent.units_), hundred));
}

Money operator*(Money a, Money b) {
    return Money(Money::divideToEven(static_cast<__int128>(a.units_) * b.units_, Money::kScale));
}

Money operator/(Money a, Money b) {
    if (b.units_ == 0) throw Error("Attenzione ... Divisione per zero.");
    return Money(Money::divideToEven(static_cast<__int128>(a.units_) * Money::kScale, b.units_));
}

std::string salePriceRefusal(double price) {
    if (std::isfinite(price) && price >= 0 && price <= kMaxAmount.toDouble()) return {};
    std::string shown = std::isfinite(price) ? formatNumber(price, "#,##0.00") : "non numerico";
    return "Attenzione ... Prezzo di vendita " + shown +
           " non valido: deve essere compreso tra 0 e 999.999,99.";
}

std::string amountText(Money amount) {
    return formatNumber(amount.toDouble(), amount == amount.round2() ? "#,##0.00" : "#,##0.0000");
}

std::string typedSalePriceRefusal(double price) {
    if (std::string why = salePriceRefusal(price); !why.empty()) return why;
    // Beyond 4 decimals the amount is rounded first: 4,56789 is refused as 4,5679.
    const Money amount = Money::fromDouble(price);
    if (amount == amount.round2()) return {};
    return "Attenzione ... Prezzo di vendita " + localeText(amount.toDouble()) +
           " non valido: un prezzo di vendita ha al massimo 2 decimali (la cassa non può "
           "incassarlo).";
}

std::string Money::plain() const {
    std::int64_t u = units_ < 0 ? -units_ : units_;
    std::string s = std::to_string(u / kScale);
    std::int64_t frac = u % kScale;
    if (frac) {
        std::string f = std::to_string(frac + kScale).substr(1);
        while (!f.empty() && f.back() == '0') f.pop_back();
        s += "." + f;
    }
    return units_ < 0 ? "-" + s : s;
}

}  // namespace cl
