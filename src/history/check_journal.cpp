#include "history/check_journal.h"

#include "app/session.h"
#include "history/journal.h"
#include "history/journal_schema.h"

namespace cl::history {

namespace {

const std::string H = std::string(kHistorySchema) + ".";

// The central articles marked changed, which a check clears.
const std::string kFixedMarks = std::string(kFixedSchema) + ".articolo WHERE artvariato = 'S'";

// The number the next check takes; the cleared marks are filed under it before the check's
// own row exists, in the same transaction.
const std::string kNextCheck = "(SELECT coalesce(max(id), 0) + 1 FROM " + H + "check_runs)";

// A barcode that names a product: not blank, not the all-zero "no barcode".
std::string namesProduct(const std::string& column) {
    return column + " IS NOT NULL AND trim(" + column + ") <> '' AND trim(" + column +
           ") <> '0000000000000'";
}

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
    if (!st.value(9).isNull()) c.centralSupplier = st.value(9).integer();
    c.byUser = st.value(10).text();
    c.byPc = st.value(11).text();
    c.restoredByUser = st.value(12).text();
    c.restoredByPc = st.value(13).text();
    return c;
}

// The columns summaryOf reads; a journal older than the record of who ran a check has none.
std::string columnsOf(store::Database& db) {
    std::string out =
        "id, at, kind, supplier, supplier_name, options, cleared, written, restored_at";
    if (journalVersion(db, kHistorySchema) >= 4)
        return out + ", central_supplier, by_user, by_pc, restored_by_user, restored_by_pc";
    return out + ", NULL, NULL, NULL, NULL, NULL";
}

}  // namespace

void recordClearedMarks(store::Database& db) {
    // What each article was, so that a restore can tell a code a new delivery gave to another
    // product.
    db.prepare("INSERT INTO " + H + "check_cleared (run, codart, desart) SELECT " + kNextCheck +
               ", codart, coalesce(trim(desart), '') FROM " + kFixedMarks)
        .run();
    const std::string F = std::string(kFixedSchema) + ".";
    db.prepare("INSERT INTO " + H + "check_cleared_ean (run, codart, ean) SELECT " + kNextCheck +
               ", codart, ean FROM (SELECT a.codart, trim(c.eanare) AS ean FROM " + F +
               "codean c JOIN " + F +
               "articolo a ON a.codart = c.codare WHERE a.artvariato = "
               "'S' AND " +
               namesProduct("c.eanare") + " UNION SELECT codart, trim(ea1art) FROM " + kFixedMarks +
               " AND " + namesProduct("ea1art") + ") barcodes")
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
                          "written, central_supplier) VALUES (?, ?, ?, ?, ?, ?, 0, ?, ?)");
    add.bindAll(id, journalNow(), info.kind, info.supplier, info.supplierName, info.options,
                written);
    add.bind(8, info.centralSupplier ? store::Value(*info.centralSupplier) : store::Value());
    add.run();
    signJournalRow(db, "check_runs", id);
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
    if (!db.isAttached(kHistorySchema) || !db.tableExists("check_runs", kHistorySchema)) return {};
    auto st = db.prepare("SELECT " + columnsOf(db) + " FROM " + H + "check_runs ORDER BY id DESC");
    std::vector<CheckSummary> out;
    while (st.step()) out.push_back(summaryOf(st));
    return out;
}

}  // namespace cl::history
