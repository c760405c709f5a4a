#include "review/review_state.h"

#include "app/numbers.h"
#include "store/error.h"

namespace cl::review {

ReviewState::ReviewState(const ReviewFilter& opening) : base_(opening) {
    base_.search = SearchKind::None;
    base_.searchText.clear();
    base_.sortBy.reset();
    rebind();
}

void ReviewState::rebind() {
    shown_ = base_;
    shown_.sortBy = sort_;
}

void ReviewState::search(SearchKind kind, const std::string& text) {
    if (kind == SearchKind::Code && !text.empty() && !wholeNumber(text))
        throw Error("Attenzione ... Per Codice: \"" + text +
                        "\" non è un codice articolo (serve un numero intero).",
                    ErrorKind::InvalidInput);
    if (kind == SearchKind::None) return;
    sort_ = kind;
    if (kind == SearchKind::Ean) {
        // The EAN condition replaces the base condition; an empty box leaves no condition.
        base_ = ReviewFilter{};
        base_.ean = text;
        rebind();
        return;
    }
    if (text.empty()) {
        // An empty box shows every row of the work table, of every supplier.
        shown_ = ReviewFilter{};
        shown_.sortBy = sort_;
        return;
    }
    shown_ = base_;
    shown_.search = kind;
    shown_.searchText = text;
    shown_.sortBy = sort_;
}

std::string ReviewState::toggleShowSelected() {
    if (!showSelected_) {
        base_.selectedOnly = true;
    } else {
        base_ = ReviewFilter{};
    }
    showSelected_ = !showSelected_;
    rebind();
    return showSelected_ ? "Vedi tutti" : "Vedi selezioni";
}

void ReviewState::afterSelectAll() {
    base_.selectedOnly = true;
    base_.changedOnly = base_.changedOnly || variationFilter_;
    rebind();
}

void ReviewState::afterDeselectAll(long long supplier) {
    base_ = ReviewFilter{};
    base_.supplier = supplier;
    base_.changedOnly = variationFilter_;
    rebind();
}

void ReviewState::afterPriceSelection() {
    variationFilter_ = true;
    base_.changedOnly = true;
    rebind();
}

void ReviewState::selectedOnly() {
    base_.selectedOnly = true;
    rebind();
}

}  // namespace cl::review
