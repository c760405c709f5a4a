#pragma once
#include <optional>
#include <string>

namespace cl::check {

// The "% limite" text, read both ways: its leading number for the comparisons and the tests
// "limit = 0", its locale number for the tests "limit <> 0". The locale reading is made only
// when a rule asks for it; a text that is not a number then fails the run.
class Limit {
  public:
    explicit Limit(std::string text);
    double value() const { return leading_; }
    bool nonZero() const;  // throws cl::Error when the text is not a locale number

  private:
    std::string text_;
    double leading_;
    mutable std::optional<bool> nonZero_;
};

// The filter boxes of the check screen as a run reads them.
struct FilterBoxes {
    bool tut = false, nuo = false, piu = false, men = false, sve = false;
};

// One examined row of the comparison runs, as the filter rules see it.
struct ComparedRow {
    double variation = 0;       // V
    bool isNew = false;         // stato "*** NUOVO"
    long long sold = 0;         // venduto
    double costDifference = 0;  // diff_costo
};

// The comparison runs' rules (sold, increased, decreased, new, then the cost rules).
bool passesComparisonFilters(const FilterBoxes& f, const Limit& limit, const ComparedRow& row);

// The barcode check's rules on the variation P and the sold value.
bool passesBarcodeFilters(const FilterBoxes& f, const Limit& limit, double variation,
                          long long sold);

}  // namespace cl::check
