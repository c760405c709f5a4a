#include "review/update_run.h"

#include "app/clock.h"
#include "app/numbers.h"
#include "history/journal.h"
#include "review/update_steps.h"
#include "review/update_store.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::review {

namespace {

UpdateRun startRun(AppState& state, store::Database& db, const UpdateSettings& settings,
                   Messages& messages, Progress& progress) {
    UpdateRun run(db, settings, messages, progress);
    run.codiceFornitore = state.codice_fornitore;
    run.nomeFornitore = store::fixedWidth(state.nome_fornitore, 45);
    run.codiceLis = formatNumber(static_cast<double>(state.codice_fornitore), "000000");
    run.today = todayIso();
    run.year = currentYear();
    return run;
}

// Walks the review view from its first row; the statement is reset however the walk ends.
template <typename PerRow>
void walkReview(store::Database& db, const ReviewFilter& filter, PerRow&& perRow) {
    SqlText source = reviewSource(filter);
    auto& walk = db.prepare(source.text);
    for (size_t i = 0; i < source.params.size(); ++i)
        walk.bind(static_cast<int>(i) + 1, source.params[i]);
    struct Reset {
        store::Statement& st;
        ~Reset() { st.reset(); }
    } reset{walk};
    UpdateRowReader reader(walk);
    while (walk.step()) {
        UpdateRow row = reader.read(walk);
        try {
            perRow(row);
        } catch (const AmountError& e) {
            // An amount out of range names the row, so that the operator can correct it.
            throw AmountError("Articolo " + row.codart.text() + " \"" +
                              store::trimmed(row.descrizione.text()) + "\" (riga bns " +
                              row.bns.text() + "): " + e.what());
        }
    }
}

// The work rows the view covered, skipped and excluded ones too: the same condition, while
// nothing else has touched variatil during the run.
long long deleteReviewRows(store::Database& db, const ReviewFilter& filter) {
    SqlText where = whereClause(filter);
    auto& del = db.prepare("DELETE FROM variatil" + where.text);
    for (size_t i = 0; i < where.params.size(); ++i)
        del.bind(static_cast<int>(i) + 1, where.params[i]);
    del.run();
    return db.changes();
}

// The journal's record of the run: who, for which supplier, with which boxes ticked.
history::RunInfo runInfo(const AppState& state, const UpdateSettings& settings, const char* kind) {
    std::string ticked;
    for (const auto& box : updateBoxes())
        if (settings.*box.flag) ticked += (ticked.empty() ? "" : ",") + std::string(box.control);
    return {kind, state.codice_fornitore, store::rtrimmed(state.nome_fornitore), ticked};
}

std::string nonScritteMessage(const UpdateResult& r) {
    std::string text = "Attenzione ... " + std::to_string(r.nonScritte.size()) +
                       " righe non sono state scritte nel listino (tolte dalla revisione):";
    for (const auto& line : r.nonScritte) text += "\n" + line;
    return text;
}

[[noreturn]] void failed(const std::exception& e) {
    throw Error(std::string("Aggiornamento non eseguito: nessuna modifica è stata salvata.\n") +
                e.what());
}

}  // namespace

UpdateResult aggiorno_tutto(AppState& state, store::Database& db, const UpdateSettings& settings,
                            const ReviewFilter& filter, Messages& messages, Progress& progress) {
    state.fl_costo = settings.kcos ? "1" : "0";
    state.fl_ricarica = settings.kric ? "1" : "0";
    state.fl_prezzo = settings.kpre ? "1" : "0";
    state.fl_crea = settings.kcrea ? "1" : "0";
    UpdateRun run = startRun(state, db, settings, messages, progress);
    long long walked = 0;
    try {
        // The journal of the run is written in the update's own transaction: a run that fails
        // leaves no trace, one that succeeds can be undone.
        history::Journal journal(db, db.file());
        store::Transaction tx(db);
        run.result.run = journal.beginRun(runInfo(state, settings, "Aggiorna"));
        UpdateStore store(db);
        walkReview(db, filter, [&](const UpdateRow& row) {
            ++walked;
            primoPassaggio(run, store, row);
        });
        walkReview(db, filter, [&](const UpdateRow& row) { secondoPassaggio(run, store, row); });
        run.result.righeElaborate = deleteReviewRows(db, filter);
        journal.endRun();
        tx.commit();
    } catch (const std::exception& e) {
        failed(e);
    }
    run.result.performed = true;
    // Told once, after the run, rather than once per product.
    if (!run.result.righeSenzaEan.empty()) messages.show(kMessaggioSenzaEan, Icon::Information);
    if (!run.result.nonScritte.empty())
        messages.show(nonScritteMessage(run.result), Icon::Exclamation);
    // Over an empty view the update ends silently: the screen just closes.
    if (walked > 0) messages.show(kFineAggiornamento, Icon::None, kFineAggiornamentoTitolo);
    return run.result;
}

UpdateResult aggiorno_Solo_forn(AppState& state, store::Database& db, const ReviewFilter& filter,
                                Messages& messages, Progress& progress) {
    ReviewFilter selected = filter;
    selected.selectedOnly = true;
    if (messages.ask(kDomandaSoloFornitori, "", Icon::None, Answer::Yes) != Answer::Yes) return {};
    UpdateSettings none;
    UpdateRun run = startRun(state, db, none, messages, progress);
    try {
        history::Journal journal(db, db.file());
        store::Transaction tx(db);
        UpdateSettings ticked;
        ticked.CreaLisForn = true;
        run.result.run =
            journal.beginRun(runInfo(state, ticked, "Aggiorna solo listini fornitori"));
        UpdateStore store(db);
        walkReview(db, selected, [&](const UpdateRow& row) { soloFornitori(run, store, row); });
        run.result.righeElaborate = deleteReviewRows(db, selected);
        journal.endRun();
        tx.commit();
    } catch (const std::exception& e) {
        failed(e);
    }
    run.result.performed = true;
    return run.result;
}

UpdateResult aggiorna(AppState& state, store::Database& db, const UpdateSettings& settings,
                      const ReviewFilter& filter, Messages& messages, Progress& progress) {
    if (settings.CreaLisForn) return aggiorno_Solo_forn(state, db, filter, messages, progress);
    return aggiorno_tutto(state, db, settings, filter, messages, progress);
}

}  // namespace cl::review
