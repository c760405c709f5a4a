#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "app/interfaces.h"
#include "app/money.h"
#include "app/work_table.h"
#include "store/database.h"
#include "store/value.h"

namespace cl::check {

// The progress bar of a run: 0 to 20000 over the walk. The position is computed from the row
// number, so that it reaches its end for any number of rows; the bar is only told when the
// position moves.
class RunProgress {
  public:
    RunProgress(Progress& progress, long long rows);
    ~RunProgress();
    void rowDone();

  private:
    Progress& progress_;
    long long rows_, done_ = 0;
    int shown_ = -1;
};

// Before the run's transaction, when the run has articles to check: asks before the run
// empties a review that was never applied. Nullopt when the operator says No; else the rows the
// run may empty (none when the work table is empty).
std::optional<WorkTableMark> confirmDiscardReview(store::Database& db, Messages& messages);
// Inside the run's transaction: empties the work table, unless it holds rows other than those
// the operator agreed to lose, which stops the run (nothing written).
void discardReview(store::Database& db, const WorkTableMark& agreed);
long long variatilRows(store::Database& db);
void emptyVariatil(store::Database& db);

// One variatil row; fields left null stay empty.
struct VariatilRow {
    store::Value bns, sel, codart, ea1art, desart, umart, ivart, imbart, ea2art, fl1art, fl2art,
        fl3art, datval, colli, tipges, tipart, marchio, pezzatura, umconf, desfor, codfor, codafo,
        codrep, desrep, codgru, desgru, codsot, dessot, przart, przvec, coston, perc, rica, prezpub,
        prezpubv, percdiff, offerta, prezoff, datagg;
};

// A fixed-width text, or null when the source was null.
store::Value fixedOrNull(const store::Value& v, size_t width);
// A whole number as text with at least `digits` digits ("000000000" style).
std::string zeroPadded(long long n, int digits);

// Throws when an amount of the run is beyond kMaxAmount; `what` names it for the operator.
void checkAmount(Money amount, const char* what);
// An amount of one article's steps out of range, naming the article so that its data can be
// corrected.
std::string articleFailure(const store::Value& codart, const store::Value& desart,
                           const std::string& reason);
template <typename Steps>
void forArticle(const store::Value& codart, const store::Value& desart, Steps&& steps) {
    try {
        steps();
    } catch (const AmountError& e) {
        throw AmountError(articleFailure(codart, desart, e.what()));
    }
}

inline constexpr const char* kNoArticles =
    "ATTENZIONE !!!. Non ci sono articoli da controllare  ...";

}  // namespace cl::check
