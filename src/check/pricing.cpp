#include "check/pricing.h"

#include "app/numbers.h"
#include "app/percentages.h"

namespace cl::check {

Money calculatedPrice(Money cost, Money markup, Money vat) {
    Money net = cost + percentOf(cost, markup);
    Money gross = net + percentOf(net, vat);
    return gross.round2();
}

Money barcodeCheckPrice(Money cost, Money markup, Money vat) {
    return cost.plusPercent(markup).plusPercent(vat).round2();
}

Money vatRate(const std::string& ivart) {
    auto v = localeNumber(ivart);
    return v ? Money::fromDouble(*v) : Money();
}

Money newPublicPrice(Money cost, Money markup, Money vat) {
    return plusPercentToCent(cost.plusPercent(markup), vat);
}

double newMargin(Money price, std::optional<Money> vat, std::optional<Money> cost,
                 double defaultMarkup) {
    double rica = 0;
    if (vat && cost) {
        double net = price.toDouble() / (1 + vat->toDouble() / 100);
        if (net > 0) rica = marginPercent(net, cost->toDouble());
    }
    return rica == 0 ? defaultMarkup : rica;
}

}  // namespace cl::check
