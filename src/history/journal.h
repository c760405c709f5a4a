#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/money.h"
#include "store/database.h"
#include "store/identifier.h"

namespace cl {
class Session;
}

namespace cl::history {

// Schema name of the history database on the store's connection.
inline constexpr const char* kHistorySchema = "storia";

// The store tables an update writes; every change to them is journaled with the row before and
// after, so that the run can be undone and its price changes listed.
const std::vector<std::string>& journaledTables();

// The journal beside the store database: same folder, DATI.history.
std::filesystem::path historyFileFor(const std::filesystem::path& storeFile);
// Whether the store has a journal yet (on a server it always has one).
bool journalExists(const Session& session);

struct RunInfo {
    std::string kind;  // "Aggiorna" or "Aggiorna solo listini fornitori"
    long long supplier = 0;
    std::string supplierName;
    std::string options;  // the ticked boxes, as the operator chose them
};

// Journal of one update run. Construct before the transaction begins (the history database is
// attached then, and created when first needed); beginRun, the writes and endRun inside the
// transaction, so that a run that rolls back records nothing.
//
// The run writes the journaled tables only through insertRow, updateRow and deleteRows: each
// writes the store rows and their copies before and after together, with the same connection,
// so that no change can be made without its record.
class Journal {
  public:
    using Fields = std::map<std::string, store::Value>;

    Journal(store::Database& db, const std::filesystem::path& storeFile);
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    long long beginRun(const RunInfo& info);
    void endRun();
    long long run() const { return run_; }

    // Adds a row.
    void insertRow(const std::string& table, const Fields& fields);
    // Changes the row with the given identity; false (nothing written) when there is none.
    bool updateRow(const std::string& table, long long row, const Fields& fields);
    // Changes a row the run has just read in its transaction: a missing one fails the run
    // rather than being answered, so that the writes need not wait for each other.
    void updateReadRow(const std::string& table, long long row, const Fields& fields);
    // Changes each row that `where` (empty, or " WHERE ..." over the table's own columns, with
    // its bound values) selects; returns how many.
    long long updateRows(const std::string& table, const Fields& fields, const std::string& where,
                         const std::vector<store::Value>& params = {});
    // Removes the rows that `where` selects; returns how many.
    long long deleteRows(const std::string& table, const std::string& where,
                         const std::vector<store::Value>& params = {});

  private:
    // The statements that copy a row of one table into the journal, made once per run.
    struct TableSql {
        std::string before, after, article;  // per row, by identity
        std::string changeOfRow;            // the change row, its article read by the insert itself
        std::string afterHead, changeHead;  // reading the written row, for a chained write
        std::string beforeWhere, changeWhere;
    };
    void addCopyColumns(const std::string& table, const std::vector<std::string>& columns);
    void prepareCopies(const std::string& table, const std::vector<std::string>& columns);
    const TableSql& sqlOf(const std::string& table) const;
    void copyRow(const std::string& sql, long long change, long long row);
    void recordChange(const std::string& table, const char* op, long long change, long long row);
    void writeUpdate(const std::string& table, long long row, const Fields& fields);
    std::string updateSql(const std::string& table, const Fields& fields) const;
    bool chainedWrite(const std::string& table, const std::string& before, const std::string& write,
                      std::vector<store::Value> values, const char* op);
    void recordReviewLeft();
    store::Database& db_;
    long long run_ = 0;
    long long lastChange_ = 0;  // the id the journal's latest change took
    std::map<std::string, TableSql> tables_;
};

// Changes of the run whose copy of the row is missing from the journal (0 for a whole record).
long long incompleteChanges(store::Database& db, long long run);

// Makes the copy tables before_<table> and after_<table> of the journal in `schema` when
// missing, with a column for each of the store columns `columns` they lack.
void ensureCopyTables(store::Database& db, const std::string& schema, const std::string& table,
                      const std::vector<std::string>& columns);

// Attaches the history database to a store connection for writing (creating it when missing,
// upgrading an older one).
void attachHistory(store::Database& db, const std::filesystem::path& storeFile);
// Attaches it only to read, as it is (an older layout too); false when the store has none yet.
bool attachHistoryToRead(const Session& session, store::Database& db);

// Files who did it (whoIsHere) in the row `id` of the journal's `table`: its columns by_user
// and by_pc, or, after a prefix ("undone_", "restored_"), those of a later action on that run.
// Every run the journal keeps is signed by this one routine.
void signJournalRow(store::Database& db, const std::string& table, long long id,
                    const std::string& prefix = "");
using store::quoteName;
// Today (as --today may fix it) and the time of day: "2026-12-08 09:14:03".
std::string journalNow();

}  // namespace cl::history
