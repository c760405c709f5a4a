#include "history/journal.h"

#include <chrono>
#include <ctime>

#include "app/clock.h"

namespace cl::history {

namespace {

const char* kCreateSql = R"(
CREATE TABLE IF NOT EXISTS runs (
  id INTEGER PRIMARY KEY, day TEXT NOT NULL, at TEXT NOT NULL, kind TEXT NOT NULL,
  supplier INTEGER, supplier_name TEXT, options TEXT, undone_at TEXT);
CREATE TABLE IF NOT EXISTS changes (
  id INTEGER PRIMARY KEY, run INTEGER NOT NULL, tbl TEXT NOT NULL, op TEXT NOT NULL,
  row INTEGER NOT NULL, article INTEGER);
CREATE INDEX IF NOT EXISTS changes_run ON changes(run);
CREATE INDEX IF NOT EXISTS changes_article ON changes(article, tbl);
CREATE INDEX IF NOT EXISTS changes_row ON changes(tbl, row);
)";

// The field that ties a row of each journaled table to its article.
std::string articleField(const std::string& table) {
    if (table == "codean") return "codare";
    if (table == "fistini") return "";
    return "codart";
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

namespace {

std::string columnList(const std::vector<std::string>& cols, const std::string& prefix) {
    std::string out;
    for (const auto& c : cols) out += (out.empty() ? "" : ", ") + prefix + quoteName(c);
    return out;
}

}  // namespace

std::optional<Money> journaledMoney(const store::Value& value) {
    if (value.isNull()) return std::nullopt;
    return Money::fromDouble(value.number());
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
    auto& attached = db.prepare("SELECT 1 FROM pragma_database_list WHERE name = ?");
    attached.bind(1, store::Value(kHistorySchema));
    bool already = attached.step();
    attached.reset();
    if (already) return;
    auto file = historyFileFor(storeFile);
    if (!std::filesystem::exists(file)) {
        // Made beside and moved into place, so that a half-made journal never appears.
        auto temp = file;
        temp += ".tmp";
        std::filesystem::remove(temp);
        {
            store::Database fresh(temp, store::OpenMode::Create);
            store::Transaction tx(fresh);
            fresh.exec(kCreateSql);
            fresh.exec("PRAGMA user_version=1");
            tx.commit();
        }
        std::filesystem::rename(temp, file);
    }
    db.attach(file, kHistorySchema);
}

Journal::Journal(store::Database& db, const std::filesystem::path& storeFile) : db_(db) {
    attachHistory(db, storeFile);
}

Journal::~Journal() {
    try {
        if (capturing_) dropTriggers();
    } catch (...) {
    }
}

long long Journal::beginRun(const RunInfo& info) {
    auto& st = db_.prepare(std::string("INSERT INTO ") + kHistorySchema +
                           ".runs (day, at, kind, supplier, supplier_name, options) "
                           "VALUES (?, ?, ?, ?, ?, ?)");
    st.bindAll(todayIso(), journalNow(), info.kind, info.supplier, info.supplierName, info.options);
    st.run();
    run_ = db_.lastInsertRowid();
    for (const auto& table : journaledTables()) {
        auto cols = db_.columns(table);
        prepareShadow(table, cols);
        createTriggers(table, cols);
    }
    capturing_ = true;
    return run_;
}

void Journal::endRun() {
    dropTriggers();
    capturing_ = false;
}

// Shadow tables keep the exact values (no type affinity), so that an undo is byte-identical.
void Journal::prepareShadow(const std::string& table, const std::vector<std::string>& cols) {
    for (const char* side : {"before_", "after_"}) {
        std::string name = quoteName(side + table);
        std::string qualified = std::string(kHistorySchema) + "." + name;
        db_.exec("CREATE TABLE IF NOT EXISTS " + qualified + " (change INTEGER PRIMARY KEY)");
        auto have = db_.columns(side + table, kHistorySchema);
        for (const auto& c : cols) {
            bool present = false;
            for (const auto& h : have) present = present || h == c;
            if (!present) db_.exec("ALTER TABLE " + qualified + " ADD COLUMN " + quoteName(c));
        }
    }
}

void Journal::createTriggers(const std::string& table, const std::vector<std::string>& cols) {
    const std::string run = std::to_string(run_);
    const std::string key = articleField(table);
    auto change = [&](const char* op, const char* side) {
        std::string article = key.empty() ? "NULL" : std::string(side) + "." + quoteName(key);
        return "INSERT INTO changes (run, tbl, op, row, article) VALUES (" + run + ", '" + table +
               "', '" + op + "', " + side + ".rowid, " + article + ");";
    };
    auto shadow = [&](const char* which, const char* side) {
        return "INSERT INTO " + quoteName(std::string(which) + table) + " (change, " +
               columnList(cols, "") + ") VALUES (last_insert_rowid(), " +
               columnList(cols, std::string(side) + ".") + ");";
    };
    // Trigger bodies take no schema names: the journal's tables are found in the history
    // database, the only one that has them.
    // After the change row, last_insert_rowid() is its id; the shadow rows keep it, as their
    // key is that same id.
    const std::string on = " ON main." + quoteName(table) + " BEGIN ";
    auto trigger = [&](const char* suffix, const char* event) {
        return "CREATE TEMP TRIGGER " + quoteName("cl_journal_" + table + suffix) + " AFTER " +
               event + on;
    };
    db_.exec(trigger("_i", "INSERT") + change("I", "NEW") + shadow("after_", "NEW") + " END");
    db_.exec(trigger("_u", "UPDATE") + change("U", "NEW") + shadow("before_", "OLD") +
             shadow("after_", "NEW") + " END");
    db_.exec(trigger("_d", "DELETE") + change("D", "OLD") + shadow("before_", "OLD") + " END");
}

void Journal::dropTriggers() {
    for (const auto& table : journaledTables())
        for (const char* s : {"_i", "_u", "_d"})
            db_.exec("DROP TRIGGER IF EXISTS temp." + quoteName("cl_journal_" + table + s));
}

}  // namespace cl::history
