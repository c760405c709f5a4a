#include "check/filters.h"

#include "app/numbers.h"

namespace cl::check {

Limit::Limit(std::string text) : text_(std::move(text)), leading_(leadingNumber(text_)) {}

bool Limit::nonZero() const {
    if (!nonZero_) nonZero_ = requireLocaleNumber(text_, "\"% limite\"") != 0;
    return *nonZero_;
}

namespace {

// The cost rules: with no limit, a cost that fell or rose is written for the boxes ticked;
// otherwise only "Tutti" writes.
bool costRules(const FilterBoxes& f, const Limit& x, const ComparedRow& r) {
    bool newOk = !r.isNew || f.nuo;
    if (x.value() == 0 && r.costDifference < 0 && f.men) {
        if (newOk) return true;
    } else if (x.value() == 0 && r.costDifference > 0 && f.piu) {
        if (newOk) return true;
    }
    return f.tut;
}

}  // namespace

bool passesComparisonFilters(const FilterBoxes& f, const Limit& x, const ComparedRow& r) {
    const double v = r.variation;
    if (!f.sve) {
        if (f.piu && v > x.value()) return !(v == 100 && !f.nuo);
        if (r.isNew && f.nuo) return true;
        if (f.men && v != 100 && x.nonZero() && -v > x.value()) return true;
        return costRules(f, x, r);
    }
    if (r.sold != 0) {
        if (f.piu && v != 100) return x.nonZero() && v > x.value();
        if (f.men && v != 100) return x.nonZero() && -v > x.value();
        return false;
    }
    return costRules(f, x, r);
}

bool passesBarcodeFilters(const FilterBoxes& f, const Limit& x, double p, long long sold) {
    if (!f.sve) {
        if (f.piu && p > 0) return !(p == 100 && !f.nuo);
        if (f.men && p < 0) return true;
        if (f.piu && p != 100 && x.nonZero() && p <= x.value()) return true;
    }
    if (f.sve && sold != 0) {
        if (f.piu && p != 100 && x.nonZero() && p > x.value()) return true;
        if (f.men && p <= -1) return true;
        return f.piu && p > 1;
    }
    return f.tut;
}

}  // namespace cl::check
