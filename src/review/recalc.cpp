#include "review/recalc.h"

#include <cstdlib>

#include "app/numbers.h"
#include "app/price_rounding.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::review {

float percentuale(const std::string& text, const std::string& caption) {
    std::string t = store::trimmed(text);
    if (t.empty()) return 0.0f;
    auto v = lastSeparatorNumber(t);
    if (!v || *v > 1e6 || *v < -1e6)
        throw Error(
            "Attenzione ... " + caption + ": \"" + text + "\" non è una percentuale valida.",
            ErrorKind::InvalidInput);
    return static_cast<float>(*v);
}

int wholeVatRate(const std::string& ivart) {
    std::string t = store::trimmed(ivart);
    if (t.empty()) return 0;
    auto v = wholeNumber(t);
    if (!v)
        throw Error("Attenzione ... Aliquota IVA \"" + ivart + "\" non valida.",
                    ErrorKind::InvalidInput);
    return static_cast<int>(*v);
}

namespace {
// The computed price goes straight to the cent (ties to even), as a till can charge it: going
// through 4 decimals first can move a price like 5.97495 to 5.98. The rounding option then
// moves it to 0 or 5 cents.
Money roundedPrice(double exact, bool round) {
    const Money cents = Money::fromDouble(roundHalfEven(exact, 2));
    return round ? roundPrice(cents) : cents;
}
}  // namespace

Money priceFromPercentage(Money oldPrice, float p, bool round) {
    float factor = p / 100.0f;
    double old = oldPrice.toDouble();
    return roundedPrice(old + old * static_cast<double>(factor), round);
}

Money priceFromCost(Money newCost, float p, int vat, bool round) {
    float factor = p / 100.0f;
    double cost = newCost.toDouble();
    double price = cost + cost * static_cast<double>(factor);
    price = price + price * (static_cast<double>(vat) / 100.0);
    return roundedPrice(price, round);
}

}  // namespace cl::review
