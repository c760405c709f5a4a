#pragma once
#include "app/money.h"

namespace cl {

// Percentages of prices and costs. The double forms are plain formulas, not rounded: each
// caller rounds as its own rule says. The Money forms are exact and round once.

// amount + amount x percent / 100 (a markup or a VAT rate applied).
double withPercent(double amount, double percent);
// (to - from) / from x 100: the markup of a price on its cost, the change of a price. The
// caller makes sure `from` is not 0.
double percentChange(double from, double to);
// (price - cost) / price x 100: the margin on the sale price. The caller makes sure `price` is
// not 0.
double marginPercent(double price, double cost);

// base x percent / 100, exact, rounded once to 4 decimals (ties to even).
Money percentOf(Money base, Money percent);
// amount + amount x percent / 100, exact, rounded once to the cent (ties to even).
Money plusPercentToCent(Money amount, Money percent);
// (now - before) / before x 100, rounded to 2 decimals, ties to even; 100 when before is 0.
double variationPercent(Money now, Money before);

// A new cost more than 3 times the old one (+1) or less than a third of it (-1): a unit or a
// decimal mix-up is likelier than a price change, so the operator is shown it. 0 otherwise,
// and when either cost is not above 0.
int costJump(double oldCost, double newCost);
// "3×" or "⅓" for a jump, empty for none.
const char* costJumpMark(int jump);

}  // namespace cl
