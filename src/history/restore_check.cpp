#include "history/restore_check.h"

#include "app/numbers.h"
#include "history/cleared_articles.h"
#include "history/journal.h"
#include "store/error.h"

namespace cl::history {

namespace {

const std::string H = std::string(kHistorySchema) + ".";
const std::string F = std::string(kFixedSchema) + ".";

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

// "N articoli" / "1 articolo".
std::string articles(long long n) {
    return counted(n, "articolo", "articoli");
}

// The codes, at most 20 of them.
std::string codesOf(const std::vector<long long>& codes) {
    std::string out;
    for (size_t i = 0; i < codes.size() && i < 20; ++i)
        out += (i ? ", " : "") + std::to_string(codes[i]);
    if (codes.size() > 20) out += " e altri " + std::to_string(codes.size() - 20);
    return out;
}

}  // namespace

RestorePlan planRestore(store::Database& db, std::optional<long long> run) {
    RestorePlan plan;
    plan.check = findCheck(db, run);
    if (plan.check.restored())
        throw Error("Attenzione ... " + title(plan.check) + " è già stato ripristinato il " +
                    formatDateTime(plan.check.restoredAt) + ".");
    auto st = db.prepare(clearedArticlesSql(db, plan.check.id) + " ORDER BY c.codart");
    while (st.step()) {
        if (st.value(1).integer())
            ++plan.alreadyMarked;
        else if (st.value(2).integer())
            ++plan.checkedLater;
        else if (!st.value(3).integer())
            plan.otherProduct.push_back(st.value(0).integer());
        else if (st.value(4).integer())
            ++plan.applied;
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
    if (plan.toMark + plan.applied > 0) return plan;
    if (plan.check.cleared == 0)
        throw Error("Attenzione ... " + title(plan.check) +
                    " non ha tolto segni di variazione: niente da ripristinare.");
    std::string refusal = "Attenzione ... Impossibile ripristinare " + title(plan.check) +
                          ": i suoi " + std::to_string(plan.check.cleared) +
                          " articoli sono già di nuovo segnati come variati da una consegna più "
                          "recente o sono stati esaminati da un controllo successivo";
    if (!plan.otherProduct.empty())
        refusal +=
            ", o il loro codice indica ora un altro prodotto (" + codesOf(plan.otherProduct) + ")";
    throw Error(refusal + ".");
}

long long applyRestore(store::Database& db, const RestorePlan& plan, bool remarkApplied) {
    db.prepare("UPDATE " + F +
               "articolo SET artvariato = 'S' WHERE coalesce(artvariato, '') <> 'S' AND codart "
               "IN (SELECT cleared.codart FROM (" +
               clearedArticlesSql(db, plan.check.id) +
               ") cleared WHERE cleared.later = 0 AND cleared.same = 1 AND (cleared.applied = 0 "
               "OR ? = 1))")
        .bindAll(remarkApplied ? 1 : 0)
        .run();
    const long long marked = db.changes();
    if (plan.reviewRows > 0) db.prepare("DELETE" + kReviewRows).bindAll(plan.check.id).run();
    db.prepare("UPDATE " + H + "check_runs SET restored_at = ? WHERE id = ?")
        .bindAll(journalNow(), plan.check.id)
        .run();
    signJournalRow(db, "check_runs", plan.check.id, "restored_");
    return marked;
}

namespace {

std::string question(const RestorePlan& p, std::optional<bool> remarkApplied) {
    std::string q = "Ripristinare " + title(p.check) + "?\n" +
                    counted(p.toMark, "articolo verrà segnato di nuovo come variato",
                            "articoli verranno segnati di nuovo come variati");
    if (p.reviewRows > 0)
        q += " e " + counted(p.reviewRows, "riga non ancora aggiornata verrà tolta dalla revisione",
                             "righe non ancora aggiornate verranno tolte dalla revisione");
    q += ".";
    if (p.applied > 0) {
        q += "\n" + articles(p.applied) + " da segnare di nuovo " +
             (p.applied == 1 ? "è stato aggiornato" : "sono stati aggiornati") +
             " dopo il controllo (i prezzi possono essere stati corretti a mano): ";
        if (!remarkApplied)
            q += "si potrà scegliere se segnarli di nuovo.";
        else if (*remarkApplied)
            q += "verranno segnati di nuovo anch'essi.";
        else
            q += "restano come sono.";
    }
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
    if (!p.otherProduct.empty())
        q += "\n" + articles(static_cast<long long>(p.otherProduct.size())) + " non " +
             (p.otherProduct.size() == 1 ? "viene segnato" : "vengono segnati") +
             " di nuovo: una consegna più recente ha dato il codice a un altro prodotto (" +
             codesOf(p.otherProduct) + ").";
    return q;
}

bool askRemarkApplied(const RestorePlan& p, Messages& messages) {
    const std::string text =
        articles(p.applied) + " da segnare di nuovo " +
        (p.applied == 1 ? "è stato aggiornato" : "sono stati aggiornati") +
        " dopo il controllo: i prezzi possono essere stati corretti a mano.\nSegnare di nuovo "
        "come variati anche questi? Con \"No\" restano come sono.";
    return messages.ask(text, kRestoreTitle, Icon::Question, Answer::No) == Answer::Yes;
}

}  // namespace

bool restoreCheck(Session& session, std::optional<long long> run, Messages& messages,
                  std::optional<bool> remarkApplied) {
    auto storeFile = session.host(session.state.nomedb);
    if (!journalExists(session))
        throw NothingToDo("Attenzione ... Nessun controllo da ripristinare.");
    auto db = session.openStore(true);
    attachHistory(*db, storeFile);
    RestorePlan plan = planRestore(*db, run);
    if (messages.ask(question(plan, remarkApplied), kRestoreTitle, Icon::Question, Answer::No) !=
        Answer::Yes)
        return false;
    const bool remark =
        remarkApplied ? *remarkApplied : plan.applied > 0 && askRemarkApplied(plan, messages);
    if (plan.toMark == 0 && !remark && plan.reviewRows == 0) {
        messages.show("Nessun articolo da segnare di nuovo: " + title(plan.check) + " resta com'è.",
                      Icon::Information, kRestoreTitle);
        return false;
    }
    long long marked = 0;
    {
        store::Transaction tx(*db);
        // What the operator agreed to must still hold.
        if (!(planRestore(*db, plan.check.id) == plan))
            throw Error(
                "Attenzione ... I dati sono cambiati dopo la domanda: nessuna modifica. "
                "Riprovare.");
        marked = applyRestore(*db, plan, remark);
        tx.commit();
    }
    messages.show("Ripristinato " + title(plan.check) + ": " +
                      counted(marked, "articolo", "articoli") + " di nuovo da controllare.",
                  Icon::Information, kRestoreTitle);
    return true;
}

}  // namespace cl::history
