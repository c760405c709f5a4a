#include "check/check_commands.h"

#include <functional>
#include <new>

#include "app/parameters.h"
#include "check/check_record.h"
#include "check/elabora_listino.h"
#include "history/journal.h"
#include "store/error.h"

namespace cl::check {

namespace {

using Run = std::function<RunResult(RunContext&)>;

RunReport startRun(Session& session, const CheckScreenState& screen, Messages& messages,
                   Progress& progress, const Run& run, const char* kind) {
    AppState& app = session.state;
    setOptionFlags(screen, app);
    if (app.codice_fornitore == 0) {
        messages.show(kNoSupplier, Icon::Information);
        return {RunOutcome::NoSupplier, {}};
    }
    // The run changes these only when it is kept.
    AppState working = app;
    try {
        auto db = session.openStore(true);
        // The journal beside the store records what the check clears; the question about the
        // supplier comes before anything is written.
        history::attachHistory(*db, db->file());
        // A supplier's own file is chosen together with its supplier right before the run: the
        // guard is for a supplier left over from the last check of the central database.
        const bool guarded = std::string(kind) != kKindPriceList;
        if (guarded && !confirmSupplier(*db, screen, app, messages))
            return {RunOutcome::SupplierDeclined, {}};
        const history::CheckInfo info = checkInfo(screen, app, kind);
        store::Transaction tx(*db);
        working.nsede = 1;
        working.chiave_parametri = chiaveParametri(working.nsede);
        salvaParametri(*db, working.chiave_parametri, parameterRowOf(screen, working));
        RunContext ctx(*db, working, screen, messages, progress);
        ctx.journaled = true;
        RunResult result = run(ctx);
        if (result.end == RunEnd::Declined) return {RunOutcome::Declined, {}};
        if (result.end == RunEnd::Done) history::recordCheck(*db, info, result.counts.written);
        tx.commit();
        app = working;
        return {result.end == RunEnd::NoArticles ? RunOutcome::NoArticles : RunOutcome::Done,
                result.counts};
    } catch (const Error& e) {
        progress.showBar(false);
        messages.show(std::string(e.what()) + "\nNessuna modifica è stata salvata.",
                      Icon::Critical);
    } catch (const std::bad_alloc&) {
        progress.showBar(false);
        messages.show("Memoria insufficiente per il controllo.\nNessuna modifica è stata salvata.",
                      Icon::Critical);
    } catch (const std::exception& e) {
        progress.showBar(false);
        messages.show("Errore: " + std::string(e.what()) + "\nNessuna modifica è stata salvata.",
                      Icon::Critical);
    }
    return {RunOutcome::Failed, {}};
}

}  // namespace

RunReport Command1_Click(Session& session, const CheckScreenState& screen, Messages& messages,
                         Progress& progress) {
    return startRun(session, screen, messages, progress, screen.sma ? elabora_solodoppi : elabora,
                    screen.sma ? kKindNoBarcode : kKindChanged);
}

RunReport Command3_Click(Session& session, const CheckScreenState& screen, Messages& messages,
                         Progress& progress) {
    return startRun(session, screen, messages, progress, elabora_ean, kKindBarcode);
}

RunReport checkPriceList(Session& session, const CheckScreenState& screen,
                         const pricelist::PriceList& list, Messages& messages, Progress& progress) {
    return startRun(
        session, screen, messages, progress,
        [&list](RunContext& ctx) { return elabora_listino(ctx, list.rows); }, kKindPriceList);
}

}  // namespace cl::check
