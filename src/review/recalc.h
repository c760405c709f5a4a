#pragma once
#include <string>

#include "app/money.h"

namespace cl::review {

// The percentage of the recalculation panel, single precision as the panel reads it. An empty
// box is 0; whichever of "." and "," comes last is the decimal separator. Not a number: throws.
float percentuale(const std::string& text, const std::string& caption);
// The VAT rate of a row as a whole number; blank is 0. Not a whole number: throws.
int wholeVatRate(const std::string& ivart);

// "Ricalcola" on the old sale price: old + old x (p / 100), the factor in single precision.
// Both give a price in whole cents.
Money priceFromPercentage(Money oldPrice, float p, bool round);
// "Ricalcola" on the new cost: (cost + cost x p / 100) + VAT.
Money priceFromCost(Money newCost, float p, int vat, bool round);

}  // namespace cl::review
