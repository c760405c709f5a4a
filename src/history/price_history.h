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
};

struct ArticleHistory {
    long long article = 0;
    std::string description;
    std::vector<PriceChange> changes;  // oldest first
};

// By article code, or by barcode (its article now, else the one the journal knew it under).
ArticleHistory articleHistory(Session& session, long long article);
ArticleHistory historyByEan(Session& session, const std::string& ean);

}  // namespace cl::history
