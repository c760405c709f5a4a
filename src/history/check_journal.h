#pragma once
#include <optional>
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::history {

// What the journal keeps of a check run: which central articles it cleared the "changed" mark
// of (with their description and barcodes then), and which review rows it wrote, so that the
// check can be put back.
struct CheckInfo {
    std::string kind;  // "Controllo dati", "Solo prodotti doppi", "Controllo articoli presenti..."
    long long supplier = 0;
    std::string supplierName;
    std::string options;  // filters and reference as the operator chose them
    // A check that is not one of the central database (a supplier's file): the supplier the
    // central check remembered when it ran, which it leaves as it was.
    std::optional<long long> centralSupplier;
};

struct CheckSummary {
    long long id = 0;
    std::string at, kind, supplierName, options, restoredAt;
    long long supplier = 0, cleared = 0, written = 0;
    std::optional<long long> centralSupplier;  // as CheckInfo
    std::string byUser, byPc, restoredByUser, restoredByPc;
    bool restored() const { return !restoredAt.empty(); }
};

// Inside the run's transaction, just before the marks are cleared: the marked articles, under
// the number the check is about to take.
void recordClearedMarks(store::Database& db);
// Inside the run's transaction, after the run: the check and the review rows it wrote.
long long recordCheck(store::Database& db, const CheckInfo& info, long long written);

// Checks of the journal (of any layout), newest first; none when no journal is attached or it
// is older than the record of checks.
std::vector<CheckSummary> listChecks(store::Database& db);

}  // namespace cl::history
