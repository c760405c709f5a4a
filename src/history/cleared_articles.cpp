#include "history/cleared_articles.h"

#include "app/session.h"
#include "history/journal.h"
#include "history/journal_schema.h"

namespace cl::history {

namespace {

const std::string H = std::string(kHistorySchema) + ".";
const std::string F = std::string(kFixedSchema) + ".";

// The barcodes the check recorded for the article c.
std::string recordedBarcodes(const std::string& more = "") {
    return "EXISTS (SELECT 1 FROM " + H +
           "check_cleared_ean e WHERE e.run = c.run AND e.codart = c.codart" + more + ")";
}

std::string sameProduct() {
    return "CASE WHEN c.desart IS NULL THEN 1 WHEN " + recordedBarcodes() + " THEN CASE WHEN " +
           recordedBarcodes(
               " AND (e.ean = trim(a.ea1art) OR e.ean IN (SELECT trim(x.eanare) FROM " + F +
               "codean x WHERE x.codare = a.codart))") +
           " THEN 1 ELSE 0 END WHEN upper(trim(coalesce(a.desart, ''))) = upper(c.desart) THEN 1 "
           "ELSE 0 END";
}

// The review rows that updates since the check consumed (and that were not undone), as the
// journal's copies keep them: `column` of each, trimmed (and in capitals with `capitals`).
std::string consumedSince(store::Database& db, long long check, const std::string& column,
                          bool capitals, const std::string& more = "") {
    const std::string b =
        "trim(b." + quoteName(copyColumn(column, journalVersion(db, kHistorySchema))) + ")";
    return "SELECT " + (capitals ? "upper(" + b + ")" : b) + " FROM " + H + "changes ch JOIN " + H +
           "runs r ON r.id = ch.run JOIN " + H +
           "before_variatil b ON b.change = ch.id WHERE ch.tbl = 'variatil' AND ch.op = 'D' AND "
           "r.undone_at IS NULL AND r.last_check >= " +
           std::to_string(check) + more;
}

std::string appliedSince(store::Database& db, long long check) {
    // No update has consumed a review row yet.
    if (!db.tableExists("before_variatil", kHistorySchema)) return "0";
    const std::string ean =
        "b." + quoteName(copyColumn("ea1art", journalVersion(db, kHistorySchema)));
    // Rows without a barcode are told by their description, cut as the check writes it.
    const std::string noBarcode =
        " AND (" + ean + " IS NULL OR trim(" + ean + ") IN ('', '0000000000000'))";
    return "CASE WHEN " +
           recordedBarcodes(" AND e.ean IN (" + consumedSince(db, check, "ea1art", false) + ")") +
           " THEN 1 WHEN c.desart IS NOT NULL AND NOT " + recordedBarcodes() +
           " AND upper(trim(substr(c.desart, 1, 30))) IN (" +
           consumedSince(db, check, "desart", true, noBarcode) + ") THEN 1 ELSE 0 END";
}

}  // namespace

std::string clearedArticlesSql(store::Database& db, long long check) {
    const std::string id = std::to_string(check);
    return "SELECT c.codart, CASE WHEN coalesce(a.artvariato, '') = 'S' THEN 1 ELSE 0 END AS "
           "marked, CASE WHEN EXISTS (SELECT 1 FROM " +
           H + "check_cleared l JOIN " + H +
           "check_runs k ON k.id = l.run AND k.restored_at IS NULL WHERE l.codart = c.codart AND "
           "l.run > c.run) THEN 1 ELSE 0 END AS later, " +
           sameProduct() + " AS same, " + appliedSince(db, check) + " AS applied FROM " + H +
           "check_cleared c JOIN " + F + "articolo a ON a.codart = c.codart WHERE c.run = " + id;
}

}  // namespace cl::history
