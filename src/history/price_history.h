#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/money.h"
#include "app/session.h"

namespace cl::history {

// One change of an article's cost or sale price by an update run.
struct PriceChange {
    long long run = 0;
    std::string at, kind;
    bool undone = false;
    bool created = false;  // the run created the article
    std::optional<Money> costBefore, costAfter, priceBefore, priceAfter;
    // Who ran the update, and who undid it (empty in a journal older than that record).
    std::string byUser, byPc, undoneByUser, undoneByPc;
};

struct ArticleHistory {
    long long article = 0;
    std::string description;
    std::vector<PriceChange> changes;  // oldest first
};

// "creato", "annullato" (with who undid it, when known), or both, or "".
std::string changeNote(const PriceChange& change);

// By article code, or by barcode (its article now, else the one the journal knew it under).
ArticleHistory articleHistory(Session& session, long long article);
ArticleHistory historyByEan(Session& session, const std::string& ean);

}  // namespace cl::history
