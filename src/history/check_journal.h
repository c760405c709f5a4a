#pragma once
#include <optional>
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::history {

// What the journal keeps of a check run: which central articles it cleared the "changed" mark
// of, and which review rows it wrote, so that the check can be put back.
struct CheckInfo {
    std::string kind;  // "Controllo dati", "Solo prodotti doppi", "Controllo articoli presenti..."
    long long supplier = 0;
    std::string supplierName;
    std::string options;  // filters and reference as the operator chose them
};

struct CheckSummary {
    long long id = 0;
    std::string at, kind, supplierName, options, restoredAt;
    long long supplier = 0, cleared = 0, written = 0;
    bool restored() const { return !restoredAt.empty(); }
};

// Inside the run's transaction, just before the marks are cleared: the marked articles, under
// the number the check is about to take.
void recordClearedMarks(store::Database& db);
// Inside the run's transaction, after the run: the check and the review rows it wrote.
long long recordCheck(store::Database& db, const CheckInfo& info, long long written);

// Checks of the journal, newest first.
std::vector<CheckSummary> listChecks(store::Database& db);
// The newest check not put back: the supplier guard compares with it.
std::optional<CheckSummary> lastCheck(store::Database& db);

}  // namespace cl::history
