#include "check/pricing.h"

#include <limits>

#include "app/numbers.h"

namespace cl::check {

namespace {
// Quotient rounded to the nearest integer, ties to even.
std::int64_t divideEven(__int128 num, __int128 den) {
    if (den < 0) num = -num, den = -den;
    __int128 q = num / den, r = num % den;
    if (r < 0) r += den, q -= 1;
    if (2 * r > den || (2 * r == den && q % 2 != 0)) q += 1;
    if (q > std::numeric_limits<std::int64_t>::max() ||
        q < std::numeric_limits<std::int64_t>::min())
        Money::outOfRange();
    return static_cast<std::int64_t>(q);
}
}  // namespace

Money percentOf(Money base, Money percent) {
    __int128 product = static_cast<__int128>(base.units()) * percent.units();
    return Money::fromUnits(divideEven(product, static_cast<__int128>(Money::kScale) * 100));
}

Money calculatedPrice(Money cost, Money markup, Money vat) {
    Money net = cost + percentOf(cost, markup);
    Money gross = net + percentOf(net, vat);
    return gross.round2();
}

Money barcodeCheckPrice(Money cost, Money markup, Money vat) {
    return cost.plusPercent(markup).plusPercent(vat).round2();
}

Money roundToFiveCents(Money price) {
    std::int64_t cents = price.round2().units() / 100;
    std::int64_t d = (cents < 0 ? -cents : cents) % 10;
    std::int64_t add = 0;
    if (d >= 1 && d <= 4) add = 5 - d;
    if (d >= 6) add = 10 - d;
    return price + Money::fromUnits(add * 100);
}

double variationPercent(Money now, Money before) {
    if (before.isZero()) return 100;
    double b = before.toDouble();
    return roundHalfEven((now.toDouble() - b) / b * 100, 2);
}

Money vatRate(const std::string& ivart) {
    auto v = localeNumber(ivart);
    return v ? Money::fromDouble(*v) : Money();
}

Money newPublicPrice(Money cost, Money markup, Money vat) {
    Money p = cost.plusPercent(markup);
    __int128 withVat = static_cast<__int128>(p.units()) * (Money::kScale * 100) +
                       static_cast<__int128>(p.units()) * vat.units();
    // p + p x vat / 100, exact, then to the cent.
    std::int64_t cents = divideEven(withVat, static_cast<__int128>(Money::kScale) * 100 * 100);
    std::int64_t units = 0;
    if (__builtin_mul_overflow(cents, std::int64_t{100}, &units)) Money::outOfRange();
    return Money::fromUnits(units);
}

double newMargin(Money price, std::optional<Money> vat, std::optional<Money> cost,
                 double defaultMarkup) {
    double rica = 0;
    if (vat && cost) {
        double net = price.toDouble() / (1 + vat->toDouble() / 100);
        if (net > 0) rica = (net - cost->toDouble()) / net * 100;
    }
    return rica == 0 ? defaultMarkup : rica;
}

}  // namespace cl::check
