#pragma once
#include <vector>

#include "check/comparison_steps.h"
#include "check/run_context.h"
#include "pricelist/price_list.h"

namespace cl::check {

// The check over a supplier's price list: each row compared with the store exactly as a
// changed central article is, in the order of the file. Nothing in the central database is
// read as an article, marked or cleared.
RunResult elabora_listino(RunContext& ctx, const std::vector<pricelist::PriceListRow>& rows);

// A row of the file as the comparison sees a central article: the values the file lacks are
// those of a central article without them.
WalkRow walkRowOf(const pricelist::PriceListRow& row, const std::string& supplierName);

}  // namespace cl::check
