#pragma once
#include "review/update_store.h"
#include "review/update_work.h"

namespace cl::review {

// One row of the first pass of the full update: skip, exclude, create or update.
void primoPassaggio(UpdateRun& run, UpdateStore& store, const UpdateRow& row);
// One row of the second pass: a row whose article has no listi01 record with the row's
// supplier article code becomes a new article from the supplier list.
void secondoPassaggio(UpdateRun& run, UpdateStore& store, const UpdateRow& row);

// The fields a supplier-list row (listi02) takes from a review row, in both updates.
UpdateStore::Fields listinoFornitore(const UpdateRun& run, const UpdateRow& row,
                                     long long codiceFornitore);

// One row of the supplier-list-only update: the listi02 row of the row's article.
void soloFornitori(UpdateRun& run, UpdateStore& store, const UpdateRow& row);

}  // namespace cl::review
