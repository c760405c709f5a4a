#include "app/percentages.h"

namespace cl {

double withPercent(double amount, double percent) {
    return amount + amount * percent / 100;
}

double percentChange(double from, double to) {
    return (to - from) / from * 100;
}

double marginPercent(double price, double cost) {
    return (price - cost) / price * 100;
}

Money percentOf(Money base, Money percent) {
    return Money::fromUnits(
        Money::divideToEven(static_cast<__int128>(base.units()) * percent.units(),
                            static_cast<__int128>(Money::kScale) * 100));
}

Money plusPercentToCent(Money amount, Money percent) {
    const __int128 hundred = static_cast<__int128>(Money::kScale) * 100;
    // Whole cents of the exact sum; a cent is 100 units.
    std::int64_t cents = Money::divideToEven(
        static_cast<__int128>(amount.units()) * (hundred + percent.units()), hundred * 100);
    std::int64_t units = 0;
    if (__builtin_mul_overflow(cents, std::int64_t{100}, &units)) Money::outOfRange();
    return Money::fromUnits(units);
}

double variationPercent(Money now, Money before) {
    if (before.isZero()) return 100;
    return roundHalfEven(percentChange(before.toDouble(), now.toDouble()), 2);
}

int costJump(double oldCost, double newCost) {
    if (!(oldCost > 0) || !(newCost > 0)) return 0;
    if (newCost > oldCost * 3) return 1;
    if (newCost * 3 < oldCost) return -1;
    return 0;
}

const char* costJumpMark(int jump) {
    return jump > 0 ? "3×" : jump < 0 ? "⅓" : "";
}

}  // namespace cl
