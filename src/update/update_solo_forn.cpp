#include "store/fixed_text.h"
#include "update/update_steps.h"

namespace cl::review {

using store::Value;

void supplierListOnlyRow(UpdateRun& run, UpdateStore& store, const UpdateRow& row) {
    long long code = row.codart.integer();
    std::string ean = eanOf(row.ean);
    // The supplier code is the run's for every row.
    if (run.codiceFornitore != 0 && code == 0) {
        if (auto linked = store.supplierByExactCode(row.codiceForn.text(), run.codiceLis))
            code = linked->codart.integer();
    }
    // The barcode decides the article, also over the supplier list.
    if (ean != kNoEan) {
        if (auto b = store.barcode(ean)) code = b->codart.integer();
    }
    if (run.codiceFornitore == 0 || code == 0) return;
    UpdateStore::Fields f = supplierListFields(run, row, run.codiceFornitore);
    if (auto found = store.supplierByArticle(code, run.codiceLis)) {
        store.edit("listi02", found->row, f);
    } else {
        f["codart"] = Value(code);
        f["codlis"] = Value(run.codiceLis);
        store.add("listi02", f);
    }
    run.progress.setCount("cntaw", ++run.result.aggiornati);
    run.progress.setText("eanaw", row.ean.text());
    run.progress.setText("desaw", row.descrizione.text());
}

}  // namespace cl::review
