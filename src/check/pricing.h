#pragma once
#include <optional>
#include <string>

#include "app/money.h"

namespace cl::check {

// Cost + markup, then + VAT, each percentage rounded to 4 decimals before it is added; the sum
// to the cent.
Money calculatedPrice(Money cost, Money markup, Money vat);
// The barcode check's price: cost + markup and then + VAT, each sum exact and rounded once to
// 4 decimals; the gross to the cent.
Money barcodeCheckPrice(Money cost, Money markup, Money vat);
// The VAT rate of an article's 2-character field, read as a locale number. A rate that is
// empty or not a number counts as 0: the article is still shown, with its rate blank.
Money vatRate(const std::string& ivart);
// New public price when the central article has none: cost + markup as one sum rounded to
// 4 decimals, + VAT rounded to the cent (no 0.05 rounding).
Money newPublicPrice(Money cost, Money markup, Money vat);
// New margin on the net price: (net - cost) / net x 100, or the default markup when that
// is 0 or cannot be computed (no VAT rate, no cost, a price of 0).
double newMargin(Money price, std::optional<Money> vat, std::optional<Money> cost,
                 double defaultMarkup);

}  // namespace cl::check
