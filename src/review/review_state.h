#pragma once
#include <string>

#include "review/review_filter.h"

namespace cl::review {

// The filter state of the review screen: the base condition the commands grow and rebuild,
// the sort the last search set, and the view the grid shows now (the base, or a search on it).
class ReviewState {
  public:
    explicit ReviewState(const ReviewFilter& opening);

    const ReviewFilter& base() const { return base_; }
    const ReviewFilter& shown() const { return shown_; }
    bool showSelected() const { return showSelected_; }
    bool variationFilter() const { return variationFilter_; }

    // The view becomes the base condition with the sort in force (reload and rebind).
    void rebind();
    // A search box's Enter. A code search with a text that is not a whole number throws
    // before anything changes.
    void search(SearchKind kind, const std::string& text);
    // "Vedi selezioni" / "Vedi tutti"; returns the button's new caption.
    std::string toggleShowSelected();
    // After "Seleziona Tutti": the selected rows and the variation filter on top of the base.
    void afterSelectAll();
    // After "Deseleziona Tutti": the supplier's rows and the variation filter.
    void afterDeselectAll(long long supplier);
    // Before and after the price-based selections.
    void clearVariationFilter() { variationFilter_ = false; }
    void afterPriceSelection();
    // "Ricalcola Prezzi" and the update work on the selected rows.
    void selectedOnly();

  private:
    ReviewFilter base_, shown_;
    SearchKind sort_ = SearchKind::None;
    bool showSelected_ = false;
    bool variationFilter_ = false;
};

}  // namespace cl::review
