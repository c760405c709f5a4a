#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/money.h"
#include "store/database.h"
#include "store/identifier.h"

namespace cl::history {

// Schema name of the history database on the store's connection.
inline constexpr const char* kHistorySchema = "storia";

// The store tables an update writes; every change to them is journaled with the row before and
// after, so that the run can be undone and its price changes listed.
const std::vector<std::string>& journaledTables();

// The journal beside the store database: same folder, DATI.history.
std::filesystem::path historyFileFor(const std::filesystem::path& storeFile);

struct RunInfo {
    std::string kind;  // "Aggiorna" or "Aggiorna solo listini fornitori"
    long long supplier = 0;
    std::string supplierName;
    std::string options;  // the ticked boxes, as the operator chose them
};

// Journal of one update run. Construct before the transaction begins (the history database is
// attached then, and created when first needed); beginRun and endRun inside the transaction, so
// that a run that rolls back records nothing.
class Journal {
  public:
    Journal(store::Database& db, const std::filesystem::path& storeFile);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    long long beginRun(const RunInfo& info);
    void endRun();
    long long run() const { return run_; }

  private:
    void prepareCopies(const std::string& table, const std::vector<std::string>& columns);
    void createTriggers(const std::string& table, const std::vector<std::string>& columns);
    void recordReviewLeft();
    void dropTriggers();
    void dropStaging();
    store::Database& db_;
    long long run_ = 0;
    bool capturing_ = false;
    std::map<std::string, std::vector<std::string>> columns_;
};

// Changes of the run whose copy of the row is missing from the journal (0 for a whole record).
long long incompleteChanges(store::Database& db, long long run);

// Attaches the history database to a store connection for writing (creating it when missing,
// upgrading an older one).
void attachHistory(store::Database& db, const std::filesystem::path& storeFile);
using store::quoteName;
// Today (as --today may fix it) and the time of day: "2026-12-08 09:14:03".
std::string journalNow();

}  // namespace cl::history
