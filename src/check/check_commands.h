#pragma once
#include "app/interfaces.h"
#include "app/session.h"
#include "check/check_state.h"
#include "check/run_context.h"
#include "pricelist/price_list.h"

namespace cl::check {

enum class RunOutcome {
    NoSupplier,            // refused: no supplier chosen, nothing saved
    Declined,              // the operator kept the unapplied review: nothing written
    SupplierDeclined,      // not the last check's supplier, and the operator said No
    FileSupplierDeclined,  // the file's articles are mostly another supplier's: the operator said
                           // No
    NoArticles,            // nothing to check: parameters saved, the work table as it was
    Done,                  // the work table refilled
    Failed,                // the message was shown, everything rolled back
};

struct RunReport {
    RunOutcome outcome = RunOutcome::Failed;
    RunCounts counts;
    std::vector<pricelist::RowProblem> leftOut;  // rows of a supplier's file the run left out
    // The review screen follows every run that was not refused and did not fail.
    bool opensReview() const {
        return outcome == RunOutcome::Declined || outcome == RunOutcome::NoArticles ||
               outcome == RunOutcome::Done;
    }
};

inline constexpr const char* kNoSupplier =
    "ATTENZIONE !!!. Non è stato selezionato il Fornitore...";

// "Controllo dati": flags, supplier check, parameter row, then the comparison run (the one
// over articles without barcodes when "Solo prodotti doppi" is ticked). One transaction over
// the store and the central database.
RunReport runArticleCheck(Session& session, const CheckScreenState& screen, Messages& messages,
                          Progress& progress);
// "Controllo articoli presenti in Barcode": the same, with the barcode presence check.
RunReport runBarcodeCheck(Session& session, const CheckScreenState& screen, Messages& messages,
                          Progress& progress);

// "Controllo dati" over a supplier's price list read beforehand: the same supplier check,
// parameter row, question and transaction; the rows of the file in place of the marked
// central articles.
RunReport checkPriceList(Session& session, const CheckScreenState& screen,
                         const pricelist::PriceList& list, Messages& messages, Progress& progress);

}  // namespace cl::check
