#pragma once
#include "update/update_store.h"
#include "update/update_work.h"

namespace cl::review {

// A new article from the current review row: supplier-list row and header when missing, the
// listi01 record, the barcode row. Takes over the code the supplier list already links to;
// a product without barcode gets a "Creato Codice :" line in the run's result, only when its
// article is really created. True when it was (false: linked to an existing article).
// The supplier's own code as a new article keeps it: nine digits when numeric, else as written
// (AB-100), so that the next run finds it again.
std::string supplierArticleCode(const store::Value& codiceForn);

bool creo_art_nuovo(UpdateRun& run, UpdateStore& store, const UpdateRow& row, WorkArea& work);

// The twin for the supplier-list pass: always the next free code; an existing barcode moves
// to the new article with the new price; nothing printed for a product without barcode.
void creo_art_nuovo_forni(UpdateRun& run, UpdateStore& store, const UpdateRow& row, WorkArea& work);

}  // namespace cl::review
