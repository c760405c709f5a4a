#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "store/database.h"

namespace cl::history {

struct RunSummary {
    long long id = 0;
    std::string at, kind, supplierName, options;
    long long supplier = 0;
    bool undone = false;
    long long changes = 0;
};

// Runs of the journal, newest first. The history database must be attached.
std::vector<RunSummary> listRuns(store::Database& db);
std::optional<RunSummary> findRun(store::Database& db, long long id);

// A row that changed after the run: by a later update (`laterRun`), or by other means (0).
struct Conflict {
    std::string table;
    long long row = 0, article = 0, laterRun = 0;
    std::string describe() const;
};

std::vector<Conflict> conflictsOf(store::Database& db, long long run);
// Puts back the values before the run, removes the rows it added, restores the rows it
// deleted, and marks it undone. Inside the caller's transaction.
void revertRun(store::Database& db, long long run);

// "Annulla ultimo aggiornamento" (or a given run): asks, refuses with the conflicts listed, or
// undoes the later runs first when the operator agrees. One transaction. True when undone.
bool undoUpdate(Session& session, std::optional<long long> run, Messages& messages);

}  // namespace cl::history
