#include "history/undo_review.h"

#include "history/journal.h"
#include "history/journal_schema.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

bool recordedReview(store::Database& db, long long run) {
    auto st = db.prepare("SELECT CASE WHEN review_left IS NULL THEN 0 ELSE 1 END FROM " + H +
                         ".runs WHERE id = ?");
    st.bind(1, store::Value(run));
    bool recorded = st.step() && st.value(0).integer() != 0;
    st.reset();
    return recorded;
}

// Rows the run did not leave there. A run journaled before the review was recorded knows only
// the rows it consumed: a row of the review that repeats one of their numbers means a newer
// check, whose rows are then the whole review.
std::string notLeftBy(store::Database& db, long long run) {
    const std::string id = std::to_string(run);
    if (recordedReview(db, run))
        return "NOT EXISTS (SELECT 1 FROM " + H + ".review_left l WHERE l.run = " + id +
               " AND l.row = v." + db.rowIdentity() + " AND l.bns IS NOT DISTINCT FROM v.bns)";
    if (!db.tableExists("before_variatil", H)) return "1 = 0";
    std::string bns = quoteName(copyColumn("bns", journalVersion(db, H)));
    return "EXISTS (SELECT 1 FROM main.variatil w WHERE w.bns IN (SELECT b." + bns + " FROM " + H +
           ".before_variatil b JOIN " + H + ".changes c ON c.id = b.change WHERE c.run = " + id +
           " AND c.tbl = 'variatil' AND c.op = 'D'))";
}

// The rows written by a check made after the run: the journal keeps every check's rows. A row
// the run left may carry the identity and number of one of them, so these are told by the
// checks, not by the rows the run left.
std::string fromLaterCheck(long long run) {
    return "EXISTS (SELECT 1 FROM " + H + ".check_rows k WHERE k.bns = v.bns AND k.run > " +
           "(SELECT coalesce(max(r.last_check), 0) FROM " + H +
           ".runs r WHERE r.id = " + std::to_string(run) +
           ") AND k.codart IS NOT DISTINCT FROM v.codart AND k.ea1art IS NOT DISTINCT FROM "
           "v.ea1art)";
}

// Which rows are newer: those of a later check, and those the run did not leave.
std::string newerCondition(store::Database& db, long long run) {
    return "(" + fromLaterCheck(run) + " OR " + notLeftBy(db, run) + ")";
}

}  // namespace

long long newerReviewRows(store::Database& db, long long run) {
    auto st = db.prepare("SELECT count(*) FROM main.variatil v WHERE " + newerCondition(db, run));
    long long n = st.step() ? st.value(0).integer() : 0;
    st.reset();
    return n;
}

void discardNewerReview(store::Database& db, long long run) {
    // The condition is worked out before any row goes: the fallback looks at the review itself.
    const std::string id = db.rowIdentity();
    auto st = db.prepare("SELECT " + id + " FROM main.variatil v WHERE " + newerCondition(db, run));
    std::vector<long long> rows;
    while (st.step()) rows.push_back(st.value(0).integer());
    auto del = db.prepare("DELETE FROM main.variatil WHERE " + id + " = ?");
    for (long long row : rows) del.reset().bind(1, store::Value(row)).run();
}

long long repeatedReviewNumbers(store::Database& db) {
    auto st = db.prepare(
        "SELECT count(*) FROM (SELECT bns FROM main.variatil WHERE bns IS NOT NULL GROUP BY bns "
        "HAVING count(*) > 1) repeated");
    long long n = st.step() ? st.value(0).integer() : 0;
    st.reset();
    return n;
}

}  // namespace cl::history
