#include "history/journal.h"

#include <chrono>
#include <ctime>

#include "app/clock.h"
#include "history/journal_schema.h"
#include "store/error.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

// The field that ties a row of each journaled table to its article.
std::string articleField(const std::string& table) {
    if (table == "codean") return "codare";
    if (table == "fistini") return "";
    return "codart";
}

std::string literal(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The run's changes are first gathered in temporary tables: a trigger finds them before any
// table of the store or of the article database (the temporary schema is searched first),
// whatever names those databases hold. endRun moves them into the journal by qualified names.
const std::string kStagedChanges = "cl_journal_changes";
std::string stagedCopy(const char* side, const std::string& table) {
    return "cl_journal_" + std::string(side) + table;
}

}  // namespace

std::string journalNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
    return todayIso() + " " + buf;
}

const std::vector<std::string>& journaledTables() {
    static const std::vector<std::string> tables{"listi01", "codean", "listi02", "fistini",
                                                 "variatil"};
    return tables;
}

std::filesystem::path historyFileFor(const std::filesystem::path& storeFile) {
    return storeFile.parent_path() / "DATI.history";
}

void attachHistory(store::Database& db, const std::filesystem::path& storeFile) {
    auto attached = db.prepare("SELECT 1 FROM pragma_database_list WHERE name = ?");
    attached.bind(1, store::Value(kHistorySchema));
    bool already = attached.step();
    attached.reset();
    if (already) return;
    auto file = historyFileFor(storeFile);
    if (!std::filesystem::exists(file)) createJournalFile(file);
    db.attach(file, kHistorySchema);
    if (journalVersion(db, H) != kJournalVersion) {
        // Another process may be upgrading too: the version is read again under the lock.
        store::Transaction tx(db);
        upgradeJournal(db, H);
        tx.commit();
    }
}

long long incompleteChanges(store::Database& db, long long run) {
    long long missing = 0;
    for (const auto& table : journaledTables()) {
        for (const char* side : {"before_", "after_"}) {
            const std::string ops = side == std::string("before_") ? "('U', 'D')" : "('I', 'U')";
            std::string copies = side + table;
            std::string exists = db.tableExists(copies, H)
                                     ? "EXISTS (SELECT 1 FROM " + H + "." + quoteName(copies) +
                                           " x WHERE x.change = c.id)"
                                     : "0";
            auto st = db.prepare("SELECT count(*) FROM " + H +
                                 ".changes c WHERE c.run = ? AND c.tbl = ? AND c.op IN " + ops +
                                 " AND NOT " + exists);
            st.bindAll(run, table);
            if (st.step()) missing += st.value(0).integer();
            st.reset();
        }
    }
    return missing;
}

Journal::Journal(store::Database& db, const std::filesystem::path& storeFile) : db_(db) {
    attachHistory(db, storeFile);
}

Journal::~Journal() {
    try {
        if (capturing_) dropStaging();
    } catch (...) {
    }
}

long long Journal::beginRun(const RunInfo& info) {
    auto st = db_.prepare("INSERT INTO " + H +
                          ".runs (day, at, kind, supplier, supplier_name, options) "
                          "VALUES (?, ?, ?, ?, ?, ?)");
    st.bindAll(todayIso(), journalNow(), info.kind, info.supplier, info.supplierName, info.options);
    st.run();
    run_ = db_.lastInsertId();
    capturing_ = true;
    db_.exec("DROP TABLE IF EXISTS temp." + quoteName(kStagedChanges) + "; CREATE TEMP TABLE " +
             quoteName(kStagedChanges) + " (id INTEGER PRIMARY KEY, tbl, op, row, article)");
    for (const auto& table : journaledTables()) {
        auto cols = db_.columns(table);
        prepareCopies(table, cols);
        createTriggers(table, cols);
    }
    return run_;
}

void Journal::endRun() {
    dropTriggers();
    auto last = db_.prepare("SELECT coalesce(max(id), 0) FROM " + H + ".changes");
    long long offset = last.step() ? last.value(0).integer() : 0;
    last.reset();
    db_.prepare("INSERT INTO " + H +
                ".changes (id, run, tbl, op, row, article) SELECT id + ?, ?, tbl, op, row, "
                "article FROM temp." +
                quoteName(kStagedChanges) + " ORDER BY id")
        .bindAll(offset, run_)
        .run();
    for (const auto& [table, cols] : columns_) {
        for (const char* side : {"before_", "after_"}) {
            std::string list = "change";
            for (const auto& c : cols) list += ", " + quoteName(copyColumn(c, kJournalVersion));
            db_.prepare("INSERT INTO " + H + "." + quoteName(side + table) + " (" + list +
                        ") SELECT change + ?" + list.substr(6) + " FROM temp." +
                        quoteName(stagedCopy(side, table)) + " ORDER BY change")
                .bind(1, store::Value(offset))
                .run();
        }
    }
    recordReviewLeft();
    if (incompleteChanges(db_, run_) != 0)
        throw Error("Il registro dell'aggiornamento non si è potuto scrivere completamente.");
    dropStaging();
    capturing_ = false;
}

// The review rows the run left: an undo tells them from the rows of a newer check.
void Journal::recordReviewLeft() {
    db_.prepare("INSERT INTO " + H + ".review_left (run, row, bns) SELECT ?, rowid, bns FROM " +
                "main.variatil")
        .bind(1, store::Value(run_))
        .run();
    db_.prepare("UPDATE " + H +
                ".runs SET review_left = (SELECT count(*) FROM main.variatil) WHERE id = ?")
        .bind(1, store::Value(run_))
        .run();
}

// The journal's copies hold every column of the store table, under the journal's own names;
// the staged copies are made afresh for each run.
void Journal::prepareCopies(const std::string& table, const std::vector<std::string>& cols) {
    columns_[table] = cols;
    for (const char* side : {"before_", "after_"}) {
        // Copies keep the exact values (no type affinity), so that an undo is byte-identical.
        std::string qualified = H + "." + quoteName(side + table);
        db_.exec("CREATE TABLE IF NOT EXISTS " + qualified + " (change INTEGER PRIMARY KEY)");
        auto have = db_.columns(side + table, H);
        std::string staged = "change INTEGER PRIMARY KEY";
        for (const auto& c : cols) {
            std::string copy = copyColumn(c, kJournalVersion);
            staged += ", " + quoteName(copy);
            bool present = false;
            for (const auto& h : have) present = present || sameName(h, copy);
            if (!present) db_.exec("ALTER TABLE " + qualified + " ADD COLUMN " + quoteName(copy));
        }
        std::string temp = quoteName(stagedCopy(side, table));
        db_.exec("DROP TABLE IF EXISTS temp." + temp + "; CREATE TEMP TABLE " + temp + " (" +
                 staged + ")");
    }
}

void Journal::createTriggers(const std::string& table, const std::vector<std::string>& cols) {
    const std::string key = articleField(table);
    auto change = [&](const char* op, const char* side) {
        std::string article = key.empty() ? "NULL" : std::string(side) + "." + quoteName(key);
        return "INSERT INTO " + quoteName(kStagedChanges) + " (tbl, op, row, article) VALUES (" +
               literal(table) + ", '" + op + "', " + side + ".rowid, " + article + ");";
    };
    auto copy = [&](const char* which, const char* side) {
        std::string names, values;
        for (const auto& c : cols) {
            names += ", " + quoteName(copyColumn(c, kJournalVersion));
            values += ", " + std::string(side) + "." + quoteName(c);
        }
        return "INSERT INTO " + quoteName(stagedCopy(which, table)) + " (change" + names +
               ") VALUES (last_insert_rowid()" + values + ");";
    };
    // After the change row, last_insert_rowid() is its id; the copies keep it as their key.
    const std::string on = " ON main." + quoteName(table) + " BEGIN ";
    auto trigger = [&](const char* suffix, const char* event) {
        return "CREATE TEMP TRIGGER " + quoteName("cl_journal_" + table + suffix) + " AFTER " +
               event + on;
    };
    db_.exec(trigger("_i", "INSERT") + change("I", "NEW") + copy("after_", "NEW") + " END");
    db_.exec(trigger("_u", "UPDATE") + change("U", "NEW") + copy("before_", "OLD") +
             copy("after_", "NEW") + " END");
    db_.exec(trigger("_d", "DELETE") + change("D", "OLD") + copy("before_", "OLD") + " END");
}

void Journal::dropTriggers() {
    for (const auto& table : journaledTables())
        for (const char* s : {"_i", "_u", "_d"})
            db_.exec("DROP TRIGGER IF EXISTS temp." + quoteName("cl_journal_" + table + s));
}

void Journal::dropStaging() {
    dropTriggers();
    db_.exec("DROP TABLE IF EXISTS temp." + quoteName(kStagedChanges));
    for (const auto& table : journaledTables())
        for (const char* side : {"before_", "after_"})
            db_.exec("DROP TABLE IF EXISTS temp." + quoteName(stagedCopy(side, table)));
}

}  // namespace cl::history
