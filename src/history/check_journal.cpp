#include "history/check_journal.h"

#include "app/session.h"
#include "history/journal.h"

namespace cl::history {

namespace {

const std::string H = std::string(kHistorySchema) + ".";

// The central articles marked changed, which a check clears.
const std::string kFixedMarks = std::string(kFixedSchema) + ".articolo WHERE artvariato = 'S'";

// The number the next check takes; the cleared marks are filed under it before the check's
// own row exists, in the same transaction.
const std::string kNextCheck = "(SELECT coalesce(max(id), 0) + 1 FROM " + H + "check_runs)";

CheckSummary summaryOf(const store::Query& st) {
    CheckSummary c;
    c.id = st.value(0).integer();
    c.at = st.value(1).text();
    c.kind = st.value(2).text();
    c.supplier = st.value(3).integer();
    c.supplierName = st.value(4).text();
    c.options = st.value(5).text();
    c.cleared = st.value(6).integer();
    c.written = st.value(7).integer();
    c.restoredAt = st.value(8).text();
    return c;
}

const char* kColumns =
    "id, at, kind, supplier, supplier_name, options, cleared, written, restored_at";

}  // namespace

void recordClearedMarks(store::Database& db) {
    db.prepare("INSERT INTO " + H + "check_cleared (run, codart) SELECT " + kNextCheck +
               ", codart FROM " + kFixedMarks)
        .run();
}

long long recordCheck(store::Database& db, const CheckInfo& info, long long written) {
    // The number is read, not taken from the engine's last insert: the key is given here, so
    // an engine that numbers keys by a sequence would report another one.
    auto next = db.prepare("SELECT " + kNextCheck);
    next.step();
    const long long id = next.value(0).integer();
    next.reset();
    auto add = db.prepare("INSERT INTO " + H +
                          "check_runs (id, at, kind, supplier, supplier_name, options, cleared, "
                          "written) VALUES (?, ?, ?, ?, ?, ?, 0, ?)");
    add.bindAll(id, journalNow(), info.kind, info.supplier, info.supplierName, info.options,
                written);
    add.run();
    db.prepare("UPDATE " + H + "check_runs SET cleared = (SELECT count(*) FROM " + H +
               "check_cleared WHERE run = ?) WHERE id = ?")
        .bindAll(id, id)
        .run();
    db.prepare("INSERT INTO " + H +
               "check_rows (run, bns, codart, ea1art) SELECT ?, bns, codart, ea1art FROM "
               "main.variatil")
        .bindAll(id)
        .run();
    return id;
}

std::vector<CheckSummary> listChecks(store::Database& db) {
    auto st = db.prepare(std::string("SELECT ") + kColumns + " FROM " + H +
                         "check_runs ORDER BY id DESC");
    std::vector<CheckSummary> out;
    while (st.step()) out.push_back(summaryOf(st));
    return out;
}

std::optional<CheckSummary> lastCheck(store::Database& db) {
    auto st = db.prepare(std::string("SELECT ") + kColumns + " FROM " + H +
                         "check_runs WHERE restored_at IS NULL ORDER BY id DESC LIMIT 1");
    std::optional<CheckSummary> out;
    if (st.step()) out = summaryOf(st);
    st.reset();
    return out;
}

}  // namespace cl::history
