#include "history/journal.h"

#include <chrono>
#include <ctime>

#include "app/clock.h"
#include "app/session.h"
#include "app/who.h"
#include "history/journal_schema.h"
#include "store/error.h"
#include "store/schema.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

// The field that ties a row of each journaled table to its article.
std::string articleField(const std::string& table) {
    if (table == "codean") return "codare";
    if (table == "fistini") return "";
    return "codart";
}

}  // namespace

std::string journalNow() {
    return nowIso();
}

const std::vector<std::string>& journaledTables() {
    static const std::vector<std::string> tables{"listi01", "codean", "listi02", "fistini",
                                                 "variatil"};
    return tables;
}

namespace {
// " <type>" of the copy of a store column, or "" where the engine keeps any value untyped. A
// column added to the store by hand, outside our layout, is copied with the type it was given.
std::string copyType(store::Database& db, const std::string& table, const std::string& column) {
    std::optional<store::FieldType> type;
    for (const auto& t : store::schemaOf(store::DatabaseKind::Store))
        if (t.name == table)
            if (const auto* f = t.field(column)) type = f->type;
    std::string sql = type ? db.copyColumnType(*type) : db.declaredType(table, column);
    if (sql.empty()) sql = db.copyColumnType(store::FieldType::Text);
    return sql.empty() ? "" : " " + sql;
}
}  // namespace

bool journalExists(const Session& session) {
    return session.onServer() ||
           std::filesystem::exists(historyFileFor(session.host(session.state.nomedb)));
}

std::filesystem::path historyFileFor(const std::filesystem::path& storeFile) {
    return storeFile.parent_path() / "DATI.history";
}

void attachHistory(store::Database& db, const std::filesystem::path& storeFile) {
    if (db.isAttached(kHistorySchema)) return;
    auto file = historyFileFor(storeFile);
    if (!db.databaseExists(file, kHistorySchema)) createJournalFile(file);
    db.attach(file, kHistorySchema);
    if (journalVersion(db, H) != kJournalVersion) {
        // Another process may be upgrading too: the version is read again under the lock.
        store::Transaction tx(db);
        upgradeJournal(db, H);
        tx.commit();
    }
}

bool attachHistoryToRead(const Session& session, store::Database& db) {
    if (db.isAttached(kHistorySchema)) return true;
    if (!journalExists(session)) return false;
    db.attach(historyFileFor(session.host(session.state.nomedb)), kHistorySchema,
              store::OpenMode::ReadOnly);
    return true;
}

void signJournalRow(store::Database& db, const std::string& table, long long id,
                    const std::string& prefix) {
    const Who& who = whoIsHere();
    db.prepare("UPDATE " + H + "." + quoteName(table) + " SET " + quoteName(prefix + "by_user") +
               " = ?, " + quoteName(prefix + "by_pc") + " = ? WHERE id = ?")
        .bindAll(who.user, who.pc, id)
        .run();
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
                                     : "(1 = 0)";
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

long long Journal::beginRun(const RunInfo& info) {
    // The newest check the run follows: an undo tells the review rows of later checks by it.
    auto st = db_.prepare("INSERT INTO " + H +
                          ".runs (day, at, kind, supplier, supplier_name, options, last_check) "
                          "VALUES (?, ?, ?, ?, ?, ?, (SELECT coalesce(max(id), 0) FROM " +
                          H + ".check_runs))");
    st.bindAll(todayIso(), journalNow(), info.kind, info.supplier, info.supplierName, info.options);
    st.run();
    run_ = db_.lastInsertId();
    signJournalRow(db_, "runs", run_);
    // The run holds the write lock from here on: no other process numbers changes meanwhile.
    auto last = db_.prepare("SELECT coalesce(max(id), 0) FROM " + H + ".changes");
    lastChange_ = last.step() ? last.value(0).integer() : 0;
    last.reset();
    for (const auto& table : journaledTables()) prepareCopies(table, db_.columns(table));
    return run_;
}

void Journal::endRun() {
    recordReviewLeft();
    if (incompleteChanges(db_, run_) != 0)
        throw Error("Il registro dell'aggiornamento non si è potuto scrivere completamente.");
    tables_.clear();
}

// The review rows the run left: an undo tells them from the rows of a newer check.
void Journal::recordReviewLeft() {
    db_.prepare("INSERT INTO " + H + ".review_left (run, row, bns) SELECT ?, " + db_.rowIdentity() +
                ", bns FROM main.variatil")
        .bind(1, store::Value(run_))
        .run();
    db_.prepare("UPDATE " + H +
                ".runs SET review_left = (SELECT count(*) FROM main.variatil) WHERE id = ?")
        .bind(1, store::Value(run_))
        .run();
}

// The journal's copies hold every column of the store table, under the journal's own names.
void ensureCopyTables(store::Database& db, const std::string& schema, const std::string& table,
                      const std::vector<std::string>& cols) {
    for (const char* side : {"before_", "after_"}) {
        // Copies keep the exact values (the column of the store table where the engine must
        // have a type, none where it need not), so that an undo is byte-identical.
        std::string qualified = schema + "." + quoteName(side + table);
        db.exec("CREATE TABLE IF NOT EXISTS " + qualified + " (change " + db.autoKeyColumn() + ")");
        auto have = db.columns(side + table, schema);
        for (const auto& c : cols) {
            std::string copy = copyColumn(c, kJournalVersion);
            bool present = false;
            for (const auto& h : have) present = present || sameName(h, copy);
            if (!present)
                db.exec("ALTER TABLE " + qualified + " ADD COLUMN " + quoteName(copy) +
                        copyType(db, table, c));
        }
    }
}

void Journal::addCopyColumns(const std::string& table, const std::vector<std::string>& cols) {
    ensureCopyTables(db_, H, table, cols);
}

// The statements that fill the copies are written once here and rebound for every row.
void Journal::prepareCopies(const std::string& table, const std::vector<std::string>& cols) {
    addCopyColumns(table, cols);
    const std::string id = db_.rowIdentity();
    const std::string live = "main." + quoteName(table);
    std::string liveList, copyList = "change";
    for (const auto& c : cols) {
        liveList += ", " + quoteName(c);
        copyList += ", " + quoteName(copyColumn(c, kJournalVersion));
    }
    auto copyInto = [&](const char* side, const std::string& key, const std::string& where) {
        return "INSERT INTO " + H + "." + quoteName(side + table) + " (" + copyList + ") SELECT " +
               key + liveList + " FROM " + live + where;
    };
    const std::string byRow = " WHERE " + id + " = ?";
    // Rows removed together are numbered in the order of their identity, the same way twice.
    const std::string numbered = "? + row_number() OVER (ORDER BY " + id + ")";
    const std::string key = articleField(table);
    const std::string article = key.empty() ? "NULL" : quoteName(key);
    const std::string changes =
        "INSERT INTO " + H + ".changes (id, run, tbl, op, row, article) SELECT ";
    TableSql sql;
    sql.before = copyInto("before_", "?", byRow);
    sql.after = copyInto("after_", "?", byRow);
    if (!key.empty()) sql.article = "SELECT " + article + " FROM " + live + byRow;
    sql.changeOfRow = changes + "?, ?, ?, ?, ?, " + article + " FROM " + live + byRow;
    sql.afterHead = "INSERT INTO " + H + "." + quoteName("after_" + table) + " (" + copyList +
                    ") SELECT ?" + liveList;
    sql.changeHead = changes + "?, ?, ?, ?, " + id + ", " + article;
    sql.beforeWhere = copyInto("before_", numbered, "");
    sql.changeWhere = changes + numbered + ", ?, ?, 'D', " + id + ", " + article + " FROM " + live;
    tables_[table] = sql;
}

}  // namespace cl::history
