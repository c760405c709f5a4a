#include "check/check_commands.h"

#include <functional>
#include <new>

#include "app/held_messages.h"
#include "app/italian_errors.h"
#include "app/parameters.h"
#include "check/check_record.h"
#include "check/elabora_listino.h"
#include "check/file_supplier.h"
#include "history/journal.h"
#include "store/error.h"

namespace cl::check {

namespace {

// A run and how many rows it would walk.
struct RunKind {
    std::function<long long(store::Database&)> articles;
    std::function<RunResult(RunContext&)> run;
    const char* kind;
    // A question of the run's own before anything is written (true: go on).
    std::function<bool(store::Database&, Messages&)> confirm = {};
};

void showFailure(Messages& messages, Progress& progress, const std::string& text) {
    progress.showBar(false);
    messages.show(text + "\nNessuna modifica è stata salvata.", Icon::Critical);
}

// The operator kept the unapplied review: it opens on its rows, which are of the supplier the
// last run saved in the parameter row, not of the one just chosen on the check screen.
void keepReviewSupplier(store::Database& db, AppState& app) {
    const std::string chiave = chiaveParametri(1);
    auto row = readParameters(db, chiave);
    if (!row) return;
    app.nsede = 1;
    app.chiave_parametri = chiave;
    app.codice_fornitore = row->cliente;
}

// Two phases. First every question, with no write transaction open: the supplier guard, then
// the unapplied review when the run has articles to check. Then one transaction that asks
// nothing, re-checks inside it what the operator answered about and keeps its messages until
// it has ended.
RunReport startRun(Session& session, const CheckScreenState& screen, Messages& messages,
                   Progress& progress, const RunKind& run) {
    AppState& app = session.state;
    setOptionFlags(screen, app);
    if (app.codice_fornitore == 0) {
        messages.show(kNoSupplier, Icon::Information);
        return {RunOutcome::NoSupplier, {}, {}};
    }
    // The run changes these only when it is kept.
    AppState working = app;
    HeldMessages held(messages);
    try {
        auto db = session.openStore(true);
        // The journal beside the store records what the check clears.
        history::attachHistory(*db, db->file());
        // A supplier's own file is chosen together with its supplier right before the run: the
        // guard is for a supplier left over from the last check of the central database.
        const bool guarded = std::string(run.kind) != kKindPriceList;
        const long long lastSeen = guarded ? comparedSupplier(*db, app).code : 0;
        if (guarded && !confirmSupplier(*db, screen, app, messages))
            return {RunOutcome::SupplierDeclined, {}, {}};
        if (run.confirm && !run.confirm(*db, messages))
            return {RunOutcome::FileSupplierDeclined, {}, {}};
        WorkTableMark discardAgreed;
        if (run.articles(*db) > 0) {
            auto agreed = confirmDiscardReview(*db, messages);
            if (!agreed) {
                keepReviewSupplier(*db, app);
                return {RunOutcome::Declined, {}, {}};
            }
            discardAgreed = *agreed;
        }
        history::CheckInfo info = checkInfo(screen, app, run.kind);
        RunResult result;
        {
            store::Transaction tx(*db);
            working.nsede = 1;
            working.chiave_parametri = chiaveParametri(working.nsede);
            // The row as the run starts (the run itself changes the filter code).
            const ParameterRow row = parameterRowOf(screen, working);
            auto saveRow = [&] { saveParameters(*db, working.chiave_parametri, row); };
            // A file check leaves the supplier the central check remembers: its record keeps
            // it, as the row then names the file's supplier for the review. It writes the row
            // only with that record.
            if (guarded) {
                checkSupplierUnchanged(*db, app, lastSeen);
                saveRow();
            } else {
                info.centralSupplier = rememberedSupplier(*db, app);
            }
            RunContext ctx(*db, working, screen, held, progress);
            ctx.journaled = true;
            ctx.discardAgreed = discardAgreed;
            result = run.run(ctx);
            ctx.workRows.flush();
            if (result.end == RunEnd::Done) {
                if (!guarded) saveRow();
                history::recordCheck(*db, info, result.counts.written);
            }
            tx.commit();
        }
        held.release();
        app = working;
        return {result.end == RunEnd::NoArticles ? RunOutcome::NoArticles : RunOutcome::Done,
                result.counts, std::move(result.leftOut)};
    } catch (const Error& e) {
        held.release();
        showFailure(messages, progress, e.what());
    } catch (const std::bad_alloc&) {
        held.release();
        showFailure(messages, progress, "Memoria insufficiente per il controllo.");
    } catch (const std::exception& e) {
        held.release();
        showFailure(messages, progress, italianMessage(e));
    }
    return {RunOutcome::Failed, {}, {}};
}

}  // namespace

RunReport runArticleCheck(Session& session, const CheckScreenState& screen, Messages& messages,
                          Progress& progress) {
    if (screen.sma)
        return startRun(session, screen, messages, progress,
                        {unmarkedBarcodeArticles, elabora_solodoppi, kKindNoBarcode});
    return startRun(session, screen, messages, progress, {changedArticles, elabora, kKindChanged});
}

RunReport runBarcodeCheck(Session& session, const CheckScreenState& screen, Messages& messages,
                          Progress& progress) {
    return startRun(session, screen, messages, progress,
                    {barcodeArticles, elabora_ean, kKindBarcode});
}

RunReport checkPriceList(Session& session, const CheckScreenState& screen,
                         const pricelist::PriceList& list, Messages& messages, Progress& progress) {
    const long long rows = static_cast<long long>(list.rows.size());
    return startRun(
        session, screen, messages, progress,
        {[rows](store::Database&) { return rows; },
         [&list](RunContext& ctx) { return elabora_listino(ctx, list.rows); }, kKindPriceList,
         [&](store::Database& db, Messages& m) {
             return confirmFileSupplier(db, list.rows, screen, session.state, m);
         }});
}

}  // namespace cl::check
