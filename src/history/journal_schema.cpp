#include "history/journal_schema.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <random>

#include "history/journal.h"
#include "store/error.h"
#include "store/schema.h"

namespace cl::history {

namespace {

// `S.` stands for the journal's schema name, KEY for a key the engine numbers, INTEGER for a
// whole number and ANY for a column that keeps whatever value it is given.
const char* kVersion1 = R"(
CREATE TABLE IF NOT EXISTS S.runs (
  id KEY, day TEXT NOT NULL, at TEXT NOT NULL, kind TEXT NOT NULL,
  supplier INTEGER, supplier_name TEXT, options TEXT, undone_at TEXT);
CREATE TABLE IF NOT EXISTS S.changes (
  id KEY, run INTEGER NOT NULL, tbl TEXT NOT NULL, op TEXT NOT NULL,
  row INTEGER NOT NULL, article INTEGER);
)";

const char* kVersion2 = R"(
ALTER TABLE S.runs ADD COLUMN review_left INTEGER;
CREATE TABLE IF NOT EXISTS S.review_left (run INTEGER NOT NULL, row INTEGER NOT NULL, bns ANY);
)";

const char* kVersion3 = R"(
CREATE TABLE IF NOT EXISTS S.check_runs (
  id KEY, at TEXT NOT NULL, kind TEXT NOT NULL, supplier INTEGER,
  supplier_name TEXT, options TEXT, cleared INTEGER NOT NULL, written INTEGER NOT NULL,
  restored_at TEXT);
CREATE TABLE IF NOT EXISTS S.check_cleared (run INTEGER NOT NULL, codart INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS S.check_rows (run INTEGER NOT NULL, bns INTEGER, codart INTEGER,
  ea1art TEXT);
)";

// The updates and checks of a journal of version 3 are put in order by their times: a check
// filed in the same second as an update came before it (a check, then its review is applied).
const char* kVersion4 = R"(
ALTER TABLE S.runs ADD COLUMN last_check INTEGER;
ALTER TABLE S.runs ADD COLUMN by_user TEXT;
ALTER TABLE S.runs ADD COLUMN by_pc TEXT;
ALTER TABLE S.runs ADD COLUMN undone_by_user TEXT;
ALTER TABLE S.runs ADD COLUMN undone_by_pc TEXT;
ALTER TABLE S.check_runs ADD COLUMN by_user TEXT;
ALTER TABLE S.check_runs ADD COLUMN by_pc TEXT;
ALTER TABLE S.check_runs ADD COLUMN restored_by_user TEXT;
ALTER TABLE S.check_runs ADD COLUMN restored_by_pc TEXT;
ALTER TABLE S.check_runs ADD COLUMN central_supplier INTEGER;
ALTER TABLE S.check_cleared ADD COLUMN desart TEXT;
CREATE TABLE IF NOT EXISTS S.check_cleared_ean (run INTEGER NOT NULL, codart INTEGER NOT NULL,
  ean TEXT NOT NULL);
UPDATE S.runs SET last_check = (SELECT coalesce(max(k.id), 0) FROM S.check_runs k
  WHERE k.at <= runs.at);
)";

struct JournalIndex {
    int version;
    const char* name;
    const char* table;
    std::vector<std::string> fields;
};

const std::vector<JournalIndex>& journalIndexes() {
    static const std::vector<JournalIndex> all{
        {1, "changes_run", "changes", {"run"}},
        {1, "changes_article", "changes", {"article", "tbl"}},
        {1, "changes_row", "changes", {"tbl", "row"}},
        {2, "review_left_run", "review_left", {"run", "row"}},
        {3, "check_cleared_run", "check_cleared", {"run"}},
        {3, "check_cleared_art", "check_cleared", {"codart"}},
        {3, "check_rows_run", "check_rows", {"run"}},
        {4, "check_rows_bns", "check_rows", {"bns", "run"}},
        {4, "check_cleared_ean_run", "check_cleared_ean", {"run", "codart"}},
    };
    return all;
}

void replaceAll(std::string& sql, const std::string& from, const std::string& to) {
    for (size_t at = sql.find(from); at != std::string::npos; at = sql.find(from, at)) {
        sql.replace(at, from.size(), to);
        at += to.size();
    }
}

// The layout of one version in the words of the engine `db` speaks.
std::string layoutSql(store::Database& db, std::string sql, const std::string& schema) {
    replaceAll(sql, "S.", schema + ".");
    replaceAll(sql, " KEY,", " " + db.autoKeyColumn() + ",");
    replaceAll(sql, " INTEGER", " " + db.columnType(store::FieldType::Whole));
    std::string any = db.copyColumnType(store::FieldType::Whole);
    replaceAll(sql, " ANY", any.empty() ? "" : " " + any);
    return sql;
}

void createLayout(store::Database& db, const char* sql, int version, const std::string& schema) {
    db.exec(layoutSql(db, sql, schema));
    for (const auto& index : journalIndexes()) {
        if (index.version != version) continue;
        std::string create =
            db.createIndexSql(schema, index.name, index.table, index.fields, false);
        replaceAll(create, "CREATE INDEX ", "CREATE INDEX IF NOT EXISTS ");
        db.exec(create);
    }
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
    if (version < 1) createLayout(db, kVersion1, 1, schema);
    if (version < 2) {
        if (version == 1) prefixCopyColumns(db, schema);
        createLayout(db, kVersion2, 2, schema);
    }
    if (version < 3) createLayout(db, kVersion3, 3, schema);
    if (version < 4) createLayout(db, kVersion4, 4, schema);
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

std::vector<std::string> journalTableNames() {
    std::vector<std::string> names{"runs",          "changes",    "review_left",      "check_runs",
                                   "check_cleared", "check_rows", "check_cleared_ean"};
    for (const auto& table : journaledTables())
        for (const char* side : {"before_", "after_"}) names.push_back(side + table);
    return names;
}

}  // namespace cl::history
