#include "history/restore_check.h"

#include "app/numbers.h"
#include "history/journal.h"
#include "store/error.h"

namespace cl::history {

namespace {

const std::string H = std::string(kHistorySchema) + ".";
const std::string F = std::string(kFixedSchema) + ".";

// Articles the check cleared that still exist centrally, with the state of their mark now and
// whether a later check (not put back) cleared them again.
const std::string kCleared =
    "SELECT a.codart, CASE WHEN coalesce(a.artvariato, '') = 'S' THEN 1 ELSE 0 END AS marked, "
    "CASE WHEN EXISTS (SELECT 1 FROM " +
    H + "check_cleared l JOIN " + H +
    "check_runs r ON r.id = l.run AND r.restored_at IS NULL WHERE l.codart = c.codart AND "
    "l.run > c.run) THEN 1 ELSE 0 END AS later FROM " +
    H + "check_cleared c JOIN " + F + "articolo a ON a.codart = c.codart WHERE c.run = ?";

// The check's rows still in the work table: only the newest check's can be there, as every
// check empties it first.
const std::string kReviewRows =
    " FROM main.variatil WHERE EXISTS (SELECT 1 FROM " + H +
    "check_rows k WHERE k.run = ? AND k.bns IS NOT DISTINCT FROM variatil.bns AND "
    "k.codart IS NOT DISTINCT FROM variatil.codart AND k.ea1art IS NOT DISTINCT FROM "
    "variatil.ea1art)";

std::string title(const CheckSummary& c) {
    return "il controllo " + std::to_string(c.id) + " del " + formatDateTime(c.at) + " (" + c.kind +
           (c.supplierName.empty() ? "" : ", " + c.supplierName) + ")";
}

CheckSummary findCheck(store::Database& db, std::optional<long long> run) {
    auto checks = listChecks(db);
    for (const auto& c : checks)
        if (run ? c.id == *run : !c.restored()) return c;
    if (run)
        throw Error("Attenzione ... Il controllo " + std::to_string(*run) + " non esiste.",
                    ErrorKind::NotFound);
    throw NothingToDo("Attenzione ... Nessun controllo da ripristinare.");
}

long long newestCheck(store::Database& db) {
    auto st = db.prepare("SELECT coalesce(max(id), 0) FROM " + H + "check_runs");
    st.step();
    long long id = st.value(0).integer();
    st.reset();
    return id;
}

}  // namespace

RestorePlan planRestore(store::Database& db, std::optional<long long> run) {
    RestorePlan plan;
    plan.check = findCheck(db, run);
    if (plan.check.restored())
        throw Error("Attenzione ... " + title(plan.check) + " è già stato ripristinato il " +
                    formatDateTime(plan.check.restoredAt) + ".");
    auto st = db.prepare(kCleared);
    st.bindAll(plan.check.id);
    while (st.step()) {
        if (st.value(1).integer())
            ++plan.alreadyMarked;
        else if (st.value(2).integer())
            ++plan.checkedLater;
        else
            ++plan.toMark;
    }
    if (plan.check.id == newestCheck(db)) {
        auto rows = db.prepare("SELECT count(*)" + kReviewRows);
        rows.bindAll(plan.check.id);
        rows.step();
        plan.reviewRows = rows.value(0).integer();
        rows.reset();
    }
    if (plan.toMark > 0) return plan;
    if (plan.check.cleared == 0)
        throw Error("Attenzione ... " + title(plan.check) +
                    " non ha tolto segni di variazione: niente da ripristinare.");
    throw Error("Attenzione ... Impossibile ripristinare " + title(plan.check) + ": i suoi " +
                std::to_string(plan.check.cleared) +
                " articoli sono già di nuovo segnati come variati da una consegna più recente "
                "o sono stati esaminati da un controllo successivo.");
}

void applyRestore(store::Database& db, const RestorePlan& plan) {
    db.prepare("UPDATE " + F +
               "articolo SET artvariato = 'S' WHERE coalesce(artvariato, '') <> 'S' AND codart "
               "IN (SELECT c.codart FROM " +
               H + "check_cleared c WHERE c.run = ? AND NOT EXISTS (SELECT 1 FROM " + H +
               "check_cleared l JOIN " + H +
               "check_runs r ON r.id = l.run AND r.restored_at IS NULL WHERE l.codart = c.codart "
               "AND l.run > c.run))")
        .bindAll(plan.check.id)
        .run();
    if (plan.reviewRows > 0) db.prepare("DELETE" + kReviewRows).bindAll(plan.check.id).run();
    db.prepare("UPDATE " + H + "check_runs SET restored_at = ? WHERE id = ?")
        .bindAll(journalNow(), plan.check.id)
        .run();
}

namespace {

std::string question(const RestorePlan& p) {
    std::string q = "Ripristinare " + title(p.check) + "?\n" +
                    counted(p.toMark, "articolo verrà segnato di nuovo come variato",
                            "articoli verranno segnati di nuovo come variati");
    if (p.reviewRows > 0)
        q += " e " + counted(p.reviewRows, "riga non ancora aggiornata verrà tolta dalla revisione",
                             "righe non ancora aggiornate verranno tolte dalla revisione");
    q += ".";
    if (p.alreadyMarked > 0)
        q += "\n" + counted(p.alreadyMarked,
                            "articolo è già segnato di nuovo da una consegna più recente e resta "
                            "com'è.",
                            "articoli sono già segnati di nuovo da una consegna più recente e "
                            "restano come sono.");
    if (p.checkedLater > 0)
        q += "\n" + counted(p.checkedLater,
                            "articolo è stato esaminato da un controllo successivo e resta com'è.",
                            "articoli sono stati esaminati da un controllo successivo e restano "
                            "come sono.");
    return q;
}

}  // namespace

bool restoreCheck(Session& session, std::optional<long long> run, Messages& messages) {
    auto storeFile = session.host(session.state.nomedb);
    if (!journalExists(session))
        throw NothingToDo("Attenzione ... Nessun controllo da ripristinare.");
    auto db = session.openStore(true);
    attachHistory(*db, storeFile);
    RestorePlan plan = planRestore(*db, run);
    if (messages.ask(question(plan), kRestoreTitle, Icon::Question, Answer::No) != Answer::Yes)
        return false;
    {
        store::Transaction tx(*db);
        // What the operator agreed to must still hold.
        if (!(planRestore(*db, plan.check.id) == plan))
            throw Error(
                "Attenzione ... I dati sono cambiati dopo la domanda: nessuna modifica. "
                "Riprovare.");
        applyRestore(*db, plan);
        tx.commit();
    }
    messages.show("Ripristinato " + title(plan.check) + ": " +
                      counted(plan.toMark, "articolo", "articoli") + " di nuovo da controllare.",
                  Icon::Information, kRestoreTitle);
    return true;
}

}  // namespace cl::history
