#include "history/undo.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/numbers.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "history/undo_review.h"
#include "store/error.h"

namespace cl::history {

namespace {

const std::string H = kHistorySchema;

std::string liveList(const std::vector<CopiedColumn>& cols) {
    std::string out;
    for (const auto& c : cols) out += (out.empty() ? "" : ", ") + quoteName(c.live);
    return out;
}

std::string copyList(const std::vector<CopiedColumn>& cols) {
    std::string out;
    for (const auto& c : cols) out += (out.empty() ? "" : ", ") + quoteName(c.copy);
    return out;
}

struct LastChange {
    long long id = 0, row = 0, article = 0;
    std::string table, op;
};

// The last change of the run to every row it touched.
std::vector<LastChange> lastChanges(store::Database& db, long long run) {
    auto st = db.prepare("SELECT id, tbl, op, row, article FROM " + H +
                         ".changes WHERE id IN (SELECT max(id) FROM " + H +
                         ".changes WHERE run = ? GROUP BY tbl, row) ORDER BY id");
    st.bind(1, store::Value(run));
    std::vector<LastChange> out;
    while (st.step())
        out.push_back({st.value(0).integer(), st.value(3).integer(), st.value(4).integer(),
                       st.value(1).text(), st.value(2).text()});
    return out;
}

// " WHERE <row identity> = ?" of a store table.
std::string byRow(store::Database& db, const std::string& alias = "") {
    return " WHERE " + alias + db.rowIdentity() + " = ?";
}

bool rowExists(store::Database& db, const std::string& table, long long row) {
    auto st = db.prepare("SELECT 1 FROM main." + quoteName(table) + byRow(db));
    st.bind(1, store::Value(row));
    bool found = st.step();
    st.reset();
    return found;
}

// Equal as stored: the same kind of value (a whole number is not a decimal one) and the same
// bytes. A hand edit that only changes letter case is a change, whatever collation the store
// gives the column.
bool rowEqualsAfter(store::Database& db, const LastChange& c) {
    const auto cols = copiedColumns(db, H, c.table);
    std::string live, copies;
    for (const auto& col : cols) {
        live += ", t." + quoteName(col.live);
        copies += ", a." + quoteName(col.copy);
    }
    auto st = db.prepare("SELECT 1" + live + copies + " FROM main." + quoteName(c.table) + " t, " +
                         H + "." + quoteName("after_" + c.table) + " a" + byRow(db, "t.") +
                         " AND a.change = ?");
    st.bindAll(c.row, c.id);
    bool same = st.step();
    const int n = static_cast<int>(cols.size());
    for (int i = 1; same && i <= n; ++i) same = st.value(i) == st.value(n + i);
    st.reset();
    return same;
}

}  // namespace

std::string Conflict::describe() const {
    std::string what = "tabella " + table + ", riga " + std::to_string(row);
    if (article) what += " (articolo " + std::to_string(article) + ")";
    return laterRun ? what + ": modificata dall'aggiornamento " + std::to_string(laterRun)
                    : what + ": modificata dopo l'aggiornamento";
}

std::vector<RunSummary> listRuns(store::Database& db) {
    auto st = db.prepare(
        "SELECT r.id, r.at, r.kind, r.supplier, r.supplier_name, r.options, "
        "CASE WHEN r.undone_at IS NULL THEN 0 ELSE 1 END, (SELECT count(*) FROM " +
        H + ".changes c WHERE c.run = r.id) FROM " + H + ".runs r ORDER BY r.id DESC");
    std::vector<RunSummary> out;
    while (st.step()) {
        RunSummary r;
        r.id = st.value(0).integer();
        r.at = st.value(1).text();
        r.kind = st.value(2).text();
        r.supplier = st.value(3).integer();
        r.supplierName = st.value(4).text();
        r.options = st.value(5).text();
        r.undone = st.value(6).integer() != 0;
        r.changes = st.value(7).integer();
        out.push_back(r);
    }
    return out;
}

std::optional<RunSummary> findRun(store::Database& db, long long id) {
    for (const auto& r : listRuns(db))
        if (r.id == id) return r;
    return std::nullopt;
}

std::vector<Conflict> conflictsOf(store::Database& db, long long run) {
    std::vector<Conflict> out;
    auto later = db.prepare(
        "SELECT c1.tbl, c1.row, min(c1.article), min(c2.run) FROM " + H + ".changes c1 JOIN " + H +
        ".changes c2 ON c2.tbl = c1.tbl AND c2.row = c1.row AND c2.run > c1.run JOIN " + H +
        ".runs r ON r.id = c2.run AND r.undone_at IS NULL WHERE c1.run = ? GROUP BY c1.tbl, "
        "c1.row ORDER BY c1.tbl, c1.row");
    later.bind(1, store::Value(run));
    std::set<std::pair<std::string, long long>> touchedLater;
    while (later.step()) {
        Conflict c{later.value(0).text(), later.value(1).integer(), later.value(2).integer(),
                   later.value(3).integer()};
        touchedLater.insert({c.table, c.row});
        out.push_back(c);
    }
    for (const auto& c : lastChanges(db, run)) {
        if (touchedLater.count({c.table, c.row})) continue;
        bool ok = c.op == "D" ? (c.table == "variatil" || !rowExists(db, c.table, c.row))
                              : rowEqualsAfter(db, c);
        if (!ok) out.push_back({c.table, c.row, c.article, 0});
    }
    return out;
}

void revertRun(store::Database& db, long long run) {
    // A copy missing would blank the row it should restore.
    if (incompleteChanges(db, run) != 0)
        throw Error("Attenzione ... Il registro dell'aggiornamento " + std::to_string(run) +
                        " è incompleto: impossibile annullarlo.",
                    ErrorKind::Corrupt);
    auto st =
        db.prepare("SELECT id, tbl, op, row FROM " + H + ".changes WHERE run = ? ORDER BY id DESC");
    st.bind(1, store::Value(run));
    struct Step {
        long long id, row;
        std::string table, op;
    };
    std::vector<Step> steps;
    while (st.step())
        steps.push_back(
            {st.value(0).integer(), st.value(3).integer(), st.value(1).text(), st.value(2).text()});
    std::map<std::string, std::vector<CopiedColumn>> columns;
    for (const auto& s : steps) {
        if (!columns.count(s.table)) columns[s.table] = copiedColumns(db, H, s.table);
        const auto& cols = columns[s.table];
        const std::string t = "main." + quoteName(s.table);
        const std::string before = H + "." + quoteName("before_" + s.table);
        if (s.op == "I") {
            db.prepare("DELETE FROM " + t + byRow(db)).bind(1, store::Value(s.row)).run();
        } else if (s.op == "U") {
            db.prepare("UPDATE " + t + " SET (" + liveList(cols) + ") = (SELECT " + copyList(cols) +
                       " FROM " + before + " WHERE change = ?)" + byRow(db))
                .bindAll(s.id, s.row)
                .run();
        } else {
            // A consumed row whose place another row has taken since comes back under a new
            // identity.
            if (!rowExists(db, s.table, s.row)) {
                db.prepare("INSERT INTO " + t + " (" + db.rowIdentity() + ", " + liveList(cols) +
                           ") SELECT ?, " + copyList(cols) + " FROM " + before +
                           " WHERE change = ?")
                    .bindAll(s.row, s.id)
                    .run();
            } else {
                db.prepare("INSERT INTO " + t + " (" + liveList(cols) + ") SELECT " +
                           copyList(cols) + " FROM " + before + " WHERE change = ?")
                    .bind(1, store::Value(s.id))
                    .run();
            }
        }
    }
    db.prepare("UPDATE " + H + ".runs SET undone_at = ? WHERE id = ?")
        .bindAll(journalNow(), run)
        .run();
    signJournalRow(db, "runs", run, "undone_");
}

}  // namespace cl::history

namespace cl::history {

namespace {

std::string runTitle(const RunSummary& r) {
    return "l'aggiornamento " + std::to_string(r.id) + " del " + formatDateTime(r.at) + " (" +
           r.kind + (r.supplierName.empty() ? "" : ", " + r.supplierName) + ")";
}

std::string listed(const std::vector<Conflict>& conflicts) {
    std::string out;
    size_t shown = 0;
    for (const auto& c : conflicts) {
        if (++shown > 20) {
            const long long more = static_cast<long long>(conflicts.size()) - 20;
            out += "\n... e " +
                   byCount(more, "un'altra riga", "altre " + std::to_string(more) + " righe");
            break;
        }
        out += "\n- " + c.describe();
    }
    return out;
}

}  // namespace

bool undoUpdate(Session& session, std::optional<long long> run, Messages& messages) {
    const std::string title = "Annulla ultimo aggiornamento";
    auto storeFile = session.host(session.state.nomedb);
    // Nothing to undo is a refusal: the command line exits 1 with the message on stderr.
    if (!journalExists(session))
        throw NothingToDo("Attenzione ... Nessun aggiornamento da annullare.");
    auto db = session.openStore();
    attachHistory(*db, storeFile);
    auto runs = listRuns(*db);
    std::optional<RunSummary> target;
    for (const auto& r : runs)
        if (run ? r.id == *run : !r.undone) {
            target = r;
            break;
        }
    if (!target) {
        if (run)
            throw Error("Attenzione ... L'aggiornamento " + std::to_string(*run) + " non esiste.",
                        ErrorKind::NotFound);
        throw NothingToDo("Attenzione ... Nessun aggiornamento da annullare.");
    }
    if (target->undone)
        throw Error("Attenzione ... " + runTitle(*target) + " è già stato annullato.");

    // Later runs that touched the same rows must go first, when the operator agrees.
    std::vector<RunSummary> order{*target};
    auto conflicts = conflictsOf(*db, target->id);
    std::set<long long> later;
    bool external = false;
    for (const auto& c : conflicts) {
        if (c.laterRun)
            later.insert(c.laterRun);
        else
            external = true;
    }
    if (external)
        throw Error("Attenzione ... Impossibile annullare " + runTitle(*target) +
                    ": alcune righe sono state modificate in seguito." + listed(conflicts));
    if (!later.empty()) {
        std::string question =
            "Alcune righe di " + runTitle(*target) +
            " sono state modificate da aggiornamenti successivi:" + listed(conflicts) +
            "\nAnnullare prima gli aggiornamenti successivi?";
        if (messages.ask(question, title, Icon::Question, Answer::No) == Answer::No) {
            throw Error("Attenzione ... Annullamento rinunciato: " + runTitle(*target) +
                        " ha righe modificate in seguito." + listed(conflicts));
        }
        // Every later, not undone run goes, newest first: the chain of changes unwinds in order.
        order.clear();
        for (const auto& r : runs)
            if (!r.undone && r.id >= target->id) order.push_back(r);
    }
    std::string question = "Annullare " + runTitle(*target);
    const long long following = static_cast<long long>(order.size()) - 1;
    if (following > 0)
        question += byCount(following, " e il successivo",
                            " e i " + std::to_string(following) + " successivi");
    question += "? Verranno ripristinati i valori precedenti.";
    // A check made after the update has replaced the review: the rows the update consumed come
    // back alone, as they were, not beside the newer ones. Undoing later runs first puts back
    // rows that go again with the update's: the rows shown now that go are those newer than it.
    const long long newer = newerReviewRows(*db, target->id);
    if (newer)
        question +=
            "\nDopo l'aggiornamento è stato eseguito un nuovo controllo: " +
            byCount(newer, "la sua riga da rivedere verrà scartata",
                    "le sue " + std::to_string(newer) + " righe da rivedere verranno scartate") +
            " e torneranno quelle dell'aggiornamento.";
    if (messages.ask(question, title, Icon::Question, Answer::No) == Answer::No) return false;

    store::Transaction tx(*db);
    const long long repeated = repeatedReviewNumbers(*db);
    if (newerReviewRows(*db, target->id) != newer)
        throw Error(
            "Attenzione ... Le righe da rivedere sono cambiate nel frattempo: ripetere "
            "l'annullamento.");
    for (const auto& r : order) {
        // Earlier in a chain, a review still newer than the run is one a later run consumed.
        discardNewerReview(*db, r.id);
        auto left = conflictsOf(*db, r.id);
        if (!left.empty())
            throw Error("Attenzione ... Impossibile annullare " + runTitle(r) + "." + listed(left));
        revertRun(*db, r.id);
    }
    if (repeatedReviewNumbers(*db) > repeated)
        throw Error("Attenzione ... Impossibile annullare " + runTitle(*target) +
                    ": le righe da rivedere avrebbero numeri ripetuti.");
    tx.commit();
    messages.show("Annullato " + runTitle(*target) + ".", Icon::Information, title);
    return true;
}

}  // namespace cl::history
