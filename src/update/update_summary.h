#pragma once
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/interfaces.h"
#include "app/money.h"
#include "review/review_filter.h"
#include "store/database.h"
#include "update/update_settings.h"
#include "update/update_work.h"

namespace cl::review {

// A new sale price below the cost with VAT, as the summary names it.
struct BelowCostRow {
    long long codart = 0;  // 0: an article to create
    std::string ean, descrizione;
    Money price, cost;  // the cost with VAT
};

// What "Aggiorna" is about to do, worked out from the review rows without writing.
struct UpdateSummary {
    long long rowsToUpdate = 0;  // rows of articles in the price list
    long long pricesRaised = 0, pricesLowered = 0, pricesUnchanged = 0;  // their sale prices
    long long pricesBelowCost = 0;        // new prices written below the VAT-inclusive cost
    std::vector<BelowCostRow> belowCost;  // those rows, in the order of the review
    long long articlesToCreate = 0;       // new articles
    std::vector<UnwrittenRow> unwritten;
};

UpdateSummary summarizeUpdate(AppState& state, store::Database& db, const UpdateSettings& settings,
                              const ReviewFilter& filter);
// The summary as the question and the command line show it.
std::string summaryText(const UpdateSummary& summary);
// "Nuovi prezzi sotto il costo IVA compresa: N" and each row with its price and cost.
std::string belowCostList(const std::vector<BelowCostRow>& rows);
// "Righe non scritte: ..." with the reason of each; empty for none.
std::string unwrittenList(const std::vector<UnwrittenRow>& rows);

// "Aggiorna" (Command5): the summary and its question first (default No) for the full update,
// then the update. Not performed when the operator answers No.
UpdateResult applyUpdateAfterSummary(AppState& state, store::Database& db,
                                     const UpdateSettings& settings, const ReviewFilter& filter,
                                     Messages& messages, Progress& progress);

inline constexpr const char* kSummaryTitle = "Aggiorna";
inline constexpr const char* kUnwrittenTitle = "Righe non scritte";
inline constexpr const char* kSummaryQuestion = "Procedere con l'aggiornamento?";

}  // namespace cl::review
