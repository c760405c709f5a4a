#pragma once
#include <string>

#include "update/update_store.h"
#include "update/update_work.h"

namespace cl::review {

// What the first pass does with a row; the summary before the update and the update itself
// decide it with the same routine.
enum class RowFate { PriceNotPositive, GroupExcluded, CreationOff, Create, Update };
// `code` becomes the article the row updates (0 for none).
RowFate rowFate(const UpdateRun& run, UpdateStore& store, const UpdateRow& row, long long& code);
// Why a row is not written, as the operator reads it; empty for a row that is written.
std::string unwrittenReason(RowFate fate);
UnwrittenRow unwrittenRowOf(const UpdateRow& row, RowFate fate);
// A new price is written unless the row's article was updated today and not edited by hand.
bool writesPrice(const UpdateRun& run, const UpdateRow& row);

// What the rows of a block look up in the store, for UpdateStore::readAhead.
UpdateStore::BlockKeys blockKeys(const UpdateRun& run, const std::vector<UpdateRow>& block);

// One row of the first pass of the full update: skip, exclude, create or update.
void firstPass(UpdateRun& run, UpdateStore& store, const UpdateRow& row);
// One row of the second pass: a row whose article has no listi01 record with the row's
// supplier article code becomes a new article from the supplier list.
void secondPass(UpdateRun& run, UpdateStore& store, const UpdateRow& row);

// The fields a supplier-list row (listi02) takes from a review row, in both updates.
UpdateStore::Fields supplierListFields(const UpdateRun& run, const UpdateRow& row,
                                       long long codiceFornitore);

// One row of the supplier-list-only update: the listi02 row of the row's article.
void supplierListOnlyRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row);

}  // namespace cl::review
