#pragma once
#include "app/money.h"

namespace cl {

// The two roundings of a sale price to 0 or 5 cents. Both look at the last digit of the cents.

// The recalculation's: to the cent (ties to even), then the cents moved to the nearest 0 or 5
// (correzione_centesimi); a negative amount as the mirror of its positive.
Money roundPrice(Money price);

// The check's and the editor's (the rounding flag "S"): raised to the next multiple of 0.05,
// a last digit of 0 or 5 unchanged. The digit is read from the amount rounded to the cent and
// the step added to the amount as it is.
Money roundToFiveCents(Money price);
// The same on the editor's price, a double already to the cent (rounded half away from zero
// to whole cents first).
double roundToFiveCents(double price);

}  // namespace cl
