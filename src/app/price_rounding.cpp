#include "app/price_rounding.h"

#include <cmath>

#include "app/numbers.h"

namespace cl {

namespace {

// Cents to add so that a last cents digit `d` (0..9) becomes 0 or 5, going up.
int centsUpToFive(long long d) {
    if (d >= 1 && d <= 4) return static_cast<int>(5 - d);
    if (d >= 6) return static_cast<int>(10 - d);
    return 0;
}

long long lastDigit(long long cents) {
    return (cents < 0 ? -cents : cents) % 10;
}

}  // namespace

Money roundPrice(Money price) {
    Money r = price.round2();
    std::int64_t units = r.units() < 0 ? -r.units() : r.units();
    int d = static_cast<int>((units / 100) % 10);
    Money step = Money::fromUnits(correzione_centesimi(d) * 100LL);
    return r.units() < 0 ? r - step : r + step;
}

Money roundToFiveCents(Money price) {
    std::int64_t cents = price.round2().units() / 100;
    return price + Money::fromUnits(centsUpToFive(lastDigit(cents)) * 100LL);
}

double roundToFiveCents(double price) {
    long long cents = std::llround(price * 100);
    cents += centsUpToFive(lastDigit(cents));
    return static_cast<double>(cents) / 100;
}

}  // namespace cl
