#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::history {

// Layout of the journal file. Every table of the journal is created or upgraded by
// upgradeJournal, one step per version, so that a new kind of record is one more step there.
//   1: runs, changes, and the copies of the rows before_<table> / after_<table>
//   2: store columns in the copies take the "v_" prefix (the copies' own key, "change", can no
//      longer meet a store column); the review rows a run left (review_left)
//   3: the checks: what each cleared (check_runs, check_cleared, check_rows)
//   4: who ran each update, undo, check and restore (user and PC); the check each update
//      followed; what each cleared article was (description, barcodes: check_cleared_ean); the
//      supplier the central check remembers, as a supplier's file check found it
inline constexpr int kJournalVersion = 4;

// The version of the journal attached (or opened) as `schema`; 0 for an empty file.
int journalVersion(store::Database& db, const std::string& schema);

// Creates the missing tables and brings older ones up to kJournalVersion, inside the caller's
// transaction. Refuses a journal written by a newer program.
void upgradeJournal(store::Database& db, const std::string& schema);

// Makes a new journal file, complete or not at all: written under a name of its own, then linked
// into place unless another process made one meanwhile (that one is kept).
void createJournalFile(const std::filesystem::path& file);

// The journal's own tables, then the copy tables it may hold, by name.
std::vector<std::string> journalTableNames();

// Store names compare case-insensitively (ASCII letters only), as the store does.
bool sameName(const std::string& a, const std::string& b);

// The column that holds a store column in the copies of a journal of the given version.
std::string copyColumn(const std::string& storeColumn, int version);

// "alias.column" naming a store column in the copies of a journal of the given version.
std::string copyRef(const std::string& alias, const std::string& storeColumn, int version);

// A store column and the column of the copies that keeps it.
struct CopiedColumn {
    std::string live, copy;
};
// The store columns of `table` that the journal's copies also have.
std::vector<CopiedColumn> copiedColumns(store::Database& db, const std::string& schema,
                                        const std::string& table);

}  // namespace cl::history
