#include "update/update_run.h"

#include "app/clock.h"
#include "app/held_messages.h"
#include "app/numbers.h"
#include "history/journal.h"
#include "store/error.h"
#include "store/fixed_text.h"
#include "update/update_steps.h"
#include "update/update_store.h"
#include "update/update_summary.h"
#include "update/update_walk.h"

namespace cl::review {

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

namespace {

// The work rows the view covered, skipped and excluded ones too: the same condition, while
// nothing else has touched variatil during the run.
long long deleteReviewRows(store::Database& db, history::Journal& journal,
                           const ReviewFilter& filter) {
    SqlText where = whereClause(db, filter);
    return journal.deleteRows("variatil", where.text, where.params);
}

// The journal's record of the run: who, for which supplier, with which boxes ticked.
history::RunInfo runInfo(const AppState& state, const UpdateSettings& settings, const char* kind) {
    std::string ticked;
    for (const auto& box : updateBoxes())
        if (settings.*box.flag) ticked += (ticked.empty() ? "" : ",") + std::string(box.control);
    return {kind, state.codice_fornitore, store::rtrimmed(state.nome_fornitore), ticked};
}

[[noreturn]] void failed(const std::exception& e) {
    throw Error(
        std::string("Aggiornamento non eseguito: nessuna modifica è stata salvata.\n") + e.what(),
        errorKindOf(e));
}

}  // namespace

WorkTableMark reviewMark(store::Database& db, const ReviewFilter& filter) {
    SqlText where = whereClause(db, filter);
    return workTableMark(db, where.text, where.params);
}

UpdateResult aggiorno_tutto(AppState& state, store::Database& db, const UpdateSettings& settings,
                            const ReviewFilter& filter, Messages& messages, Progress& progress,
                            const WorkTableMark* agreed) {
    state.fl_costo = settings.kcos ? "1" : "0";
    state.fl_ricarica = settings.kric ? "1" : "0";
    state.fl_prezzo = settings.kpre ? "1" : "0";
    state.fl_crea = settings.kcrea ? "1" : "0";
    // What the run has to say waits for the end of its transaction.
    HeldMessages held(messages);
    UpdateRun run = startRun(state, db, settings, held, progress);
    long long walked = 0;
    try {
        // The journal of the run is written in the update's own transaction: a run that fails
        // leaves no trace, one that succeeds can be undone.
        history::Journal journal(db, db.file());
        store::Transaction tx(db);
        if (agreed && !(reviewMark(db, filter) == *agreed)) throw Error(kWorkTableChanged);
        run.result.run = journal.beginRun(runInfo(state, settings, "Aggiorna"));
        UpdateStore store(db, &journal);
        auto readAhead = [&](const std::vector<UpdateRow>& block) {
            store.readAhead(blockKeys(run, block));
        };
        walkReviewInBlocks(db, filter, readAhead, [&](const UpdateRow& row) {
            ++walked;
            firstPass(run, store, row);
        });
        // The second pass asks only whether an article has the row's supplier code.
        auto articlesAhead = [&](const std::vector<UpdateRow>& block) {
            UpdateStore::BlockKeys keys = blockKeys(run, block);
            keys.eans.clear();
            keys.supplierCodes.clear();
            store.readAhead(keys);
        };
        walkReviewInBlocks(db, filter, articlesAhead,
                           [&](const UpdateRow& row) { secondPass(run, store, row); });
        run.result.rowsConsumed = deleteReviewRows(db, journal, filter);
        journal.endRun();
        tx.commit();
    } catch (const std::exception& e) {
        held.release();
        failed(e);
    }
    held.release();
    run.result.performed = true;
    // Told once, after the run, rather than once per product.
    if (!run.result.noBarcodeLines.empty()) messages.show(kNoBarcodeMessage, Icon::Information);
    // The rows passed over leave the work list with the others: the operator sees each one.
    if (!run.result.unwritten.empty())
        messages.show(unwrittenList(run.result.unwritten), Icon::Information, kUnwrittenTitle);
    // Over an empty view the update ends silently: the screen just closes.
    if (walked > 0) messages.show(kUpdateDoneMessage, Icon::None, kUpdateDoneTitle);
    return run.result;
}

UpdateResult aggiorno_Solo_forn(AppState& state, store::Database& db, const ReviewFilter& filter,
                                Messages& messages, Progress& progress) {
    ReviewFilter selected = filter;
    selected.selectedOnly = true;
    if (messages.ask(kSupplierListOnlyQuestion, "", Icon::None, Answer::Yes) != Answer::Yes)
        return {};
    UpdateSettings none;
    HeldMessages held(messages);
    UpdateRun run = startRun(state, db, none, held, progress);
    try {
        history::Journal journal(db, db.file());
        store::Transaction tx(db);
        UpdateSettings ticked;
        ticked.CreaLisForn = true;
        run.result.run =
            journal.beginRun(runInfo(state, ticked, "Aggiorna solo listini fornitori"));
        UpdateStore store(db, &journal);
        walkReview(db, selected,
                   [&](const UpdateRow& row) { supplierListOnlyRow(run, store, row); });
        run.result.rowsConsumed = deleteReviewRows(db, journal, selected);
        journal.endRun();
        tx.commit();
    } catch (const std::exception& e) {
        held.release();
        failed(e);
    }
    held.release();
    run.result.performed = true;
    return run.result;
}

UpdateResult applyUpdate(AppState& state, store::Database& db, const UpdateSettings& settings,
                         const ReviewFilter& filter, Messages& messages, Progress& progress,
                         const WorkTableMark* agreed) {
    if (settings.CreaLisForn) return aggiorno_Solo_forn(state, db, filter, messages, progress);
    return aggiorno_tutto(state, db, settings, filter, messages, progress, agreed);
}

}  // namespace cl::review
