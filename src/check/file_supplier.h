#pragma once
#include <vector>

#include "app/app_state.h"
#include "app/interfaces.h"
#include "check/check_state.h"
#include "pricelist/price_list.h"
#include "store/database.h"

namespace cl::check {

// Whose file it is: when most of the store articles a supplier's file names by barcode belong
// to one other supplier than the one chosen, asks before the check (default No) rather than
// move them to the chosen one. True when the check may go on. No transaction may be open.
bool confirmFileSupplier(store::Database& db, const std::vector<pricelist::PriceListRow>& rows,
                         const CheckScreenState& screen, const AppState& app, Messages& messages);

}  // namespace cl::check
