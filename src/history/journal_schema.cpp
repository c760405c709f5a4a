#include "history/journal_schema.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <random>

#include "history/journal.h"
#include "store/error.h"

namespace cl::history {

namespace {

// `S.` stands for the journal's schema name.
const char* kVersion1 = R"(
CREATE TABLE IF NOT EXISTS S.runs (
  id INTEGER PRIMARY KEY, day TEXT NOT NULL, at TEXT NOT NULL, kind TEXT NOT NULL,
  supplier INTEGER, supplier_name TEXT, options TEXT, undone_at TEXT);
CREATE TABLE IF NOT EXISTS S.changes (
  id INTEGER PRIMARY KEY, run INTEGER NOT NULL, tbl TEXT NOT NULL, op TEXT NOT NULL,
  row INTEGER NOT NULL, article INTEGER);
CREATE INDEX IF NOT EXISTS S.changes_run ON changes(run);
CREATE INDEX IF NOT EXISTS S.changes_article ON changes(article, tbl);
CREATE INDEX IF NOT EXISTS S.changes_row ON changes(tbl, row);
)";

const char* kVersion2 = R"(
ALTER TABLE S.runs ADD COLUMN review_left INTEGER;
CREATE TABLE IF NOT EXISTS S.review_left (run INTEGER NOT NULL, row INTEGER NOT NULL, bns);
CREATE INDEX IF NOT EXISTS S.review_left_run ON review_left(run, row);
)";

const char* kVersion3 = R"(
CREATE TABLE IF NOT EXISTS S.check_runs (
  id INTEGER PRIMARY KEY, at TEXT NOT NULL, kind TEXT NOT NULL, supplier INTEGER,
  supplier_name TEXT, options TEXT, cleared INTEGER NOT NULL, written INTEGER NOT NULL,
  restored_at TEXT);
CREATE TABLE IF NOT EXISTS S.check_cleared (run INTEGER NOT NULL, codart INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS S.check_cleared_run ON check_cleared(run);
CREATE INDEX IF NOT EXISTS S.check_cleared_art ON check_cleared(codart);
CREATE TABLE IF NOT EXISTS S.check_rows (run INTEGER NOT NULL, bns INTEGER, codart INTEGER,
  ea1art TEXT);
CREATE INDEX IF NOT EXISTS S.check_rows_run ON check_rows(run);
)";

std::string withSchema(std::string sql, const std::string& schema) {
    for (size_t at = sql.find("S."); at != std::string::npos; at = sql.find("S.", at)) {
        sql.replace(at, 2, schema + ".");
        at += schema.size() + 1;
    }
    return sql;
}

// The copies of the rows: only the journaled tables ever had them.
std::vector<std::string> copyTables(store::Database& db, const std::string& schema) {
    std::vector<std::string> out;
    for (const auto& table : journaledTables())
        for (const char* side : {"before_", "after_"})
            if (db.tableExists(side + table, schema)) out.push_back(side + table);
    return out;
}

// Store columns in the copies move out of the journal's own names.
void prefixCopyColumns(store::Database& db, const std::string& schema) {
    for (const auto& table : copyTables(db, schema))
        for (const auto& column : db.columns(table, schema))
            if (!sameName(column, "change"))
                db.exec("ALTER TABLE " + schema + "." + quoteName(table) + " RENAME COLUMN " +
                        quoteName(column) + " TO " + quoteName(copyColumn(column, 2)));
}

}  // namespace

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string copyColumn(const std::string& storeColumn, int version) {
    return version >= 2 ? "v_" + storeColumn : storeColumn;
}

int journalVersion(store::Database& db, const std::string& schema) {
    return db.userVersion(schema);
}

void upgradeJournal(store::Database& db, const std::string& schema) {
    int version = journalVersion(db, schema);
    if (version > kJournalVersion)
        throw Error(
            "Attenzione ... Il registro degli aggiornamenti è stato scritto da una versione più "
            "recente del programma: aggiornare il programma.");
    if (version < 1) db.exec(withSchema(kVersion1, schema));
    if (version < 2) {
        if (version == 1) prefixCopyColumns(db, schema);
        db.exec(withSchema(kVersion2, schema));
    }
    if (version < 3) db.exec(withSchema(kVersion3, schema));
    if (version < kJournalVersion) db.setUserVersion(kJournalVersion, schema);
}

void createJournalFile(const std::filesystem::path& file) {
    // A name no other process uses: two first updates at once each make their own.
    static std::atomic<unsigned> serial{0};
    std::random_device random;
    auto temp = file;
    temp += ".nuovo-" + std::to_string(::getpid()) + "-" + std::to_string(random()) + "-" +
            std::to_string(serial++);
    std::error_code ec;
    try {
        {
            auto freshConnection = store::openDatabase(temp, store::OpenMode::Create);
            store::Database& fresh = *freshConnection;
            store::Transaction tx(fresh);
            upgradeJournal(fresh, "main");
            tx.commit();
        }
        // link() never replaces a journal another process has put in place (and may be using).
        if (::link(temp.c_str(), file.c_str()) != 0 && errno != EEXIST &&
            !std::filesystem::exists(file, ec)) {
            // A file system without hard links: a rename, now that no journal is there.
            std::filesystem::rename(temp, file);
        }
    } catch (const std::filesystem::filesystem_error& e) {
        std::filesystem::remove(temp, ec);
        throw Error("Attenzione ... Impossibile creare il registro degli aggiornamenti " +
                        file.string() + ": " + e.code().message(),
                    ErrorKind::ReadOnly);
    } catch (...) {
        std::filesystem::remove(temp, ec);
        throw;
    }
    std::filesystem::remove(temp, ec);
}

std::vector<CopiedColumn> copiedColumns(store::Database& db, const std::string& schema,
                                        const std::string& table) {
    int version = journalVersion(db, schema);
    auto copies = db.columns("before_" + table, schema);
    if (copies.empty()) copies = db.columns("after_" + table, schema);
    std::vector<CopiedColumn> out;
    for (const auto& live : db.columns(table))
        for (const auto& copy : copies)
            if (!sameName(copy, "change") && sameName(copy, copyColumn(live, version)))
                out.push_back({live, copy});
    return out;
}

std::string copyRef(const std::string& alias, const std::string& storeColumn, int version) {
    return alias + "." + quoteName(copyColumn(storeColumn, version));
}

void ensureCopyTable(store::Database& db, const std::string& schema, const std::string& copyTable,
                     const std::vector<std::string>& copyColumns) {
    // Copies keep the exact values (no declared type), so that an undo is byte-identical.
    const std::string qualified = schema + "." + quoteName(copyTable);
    db.exec("CREATE TABLE IF NOT EXISTS " + qualified + " (change INTEGER PRIMARY KEY)");
    auto have = db.columns(copyTable, schema);
    for (const auto& copy : copyColumns) {
        bool present = false;
        for (const auto& h : have) present = present || sameName(h, copy);
        if (!present) db.exec("ALTER TABLE " + qualified + " ADD COLUMN " + quoteName(copy));
    }
}

std::vector<std::string> journalTableNames() {
    std::vector<std::string> names{"runs",       "changes",       "review_left",
                                   "check_runs", "check_cleared", "check_rows"};
    for (const auto& table : journaledTables())
        for (const char* side : {"before_", "after_"}) names.push_back(side + table);
    return names;
}

}  // namespace cl::history
