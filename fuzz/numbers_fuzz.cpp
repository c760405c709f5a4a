// Fuzzes the readers of typed numbers and normalizza: no crash, no undefined behaviour, and the
// properties the screens rely on.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/money.h"
#include "app/numbers.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    double lead = cl::leadingNumber(text);
    check(std::isfinite(lead));
    auto locale = cl::localeNumber(text);
    auto either = cl::lastSeparatorNumber(text);
    cl::wholeNumber(text);
    cl::store::fixedWidth(text, 13);
    cl::store::trimmed(text);

    // normalizza never fails, and its display text of a number is a number that it keeps as is.
    for (bool implicito : {false, true}) {
        std::string shown = cl::normalizza(cl::store::Value(text), implicito);
        if (locale || either) {
            // Within the 15 significant digits a double holds with four decimals.
            auto value = cl::localeNumber(shown);
            if (value && std::fabs(*value) < 1e10) {
                check(cl::normalizza(cl::store::Value(shown), false) == shown);
            }
        }
    }
    for (auto v : {locale, either}) {
        if (!v) continue;
        // A display text reads back as the amount it shows.
        std::string shown = cl::formatNumber(*v, "#,##0.00");
        if (std::fabs(*v) < 1e12) {
            auto back = cl::localeNumber(shown);
            check(back.has_value());
            check(std::fabs(*back - cl::roundHalfAway(*v, 2)) <
                  1e-6 * std::max(1.0, std::fabs(*v)));
        }
        try {
            cl::Money m = cl::Money::fromDouble(*v);
            check(m.round2().units() % 100 == 0);
            check(std::fabs(m.toDouble() - *v) <= 0.00005 + 1e-9 * std::fabs(*v));
        } catch (const cl::Error&) {
            check(!std::isfinite(*v) || std::fabs(*v) > 9e14);
        }
    }
    return 0;
}
