#include "check/check_commands.h"

#include <functional>
#include <new>

#include "app/parameters.h"
#include "check/elabora_listino.h"
#include "store/error.h"

namespace cl::check {

namespace {

using Run = std::function<RunResult(RunContext&)>;

RunReport startRun(Session& session, const CheckScreenState& screen, Messages& messages,
                   Progress& progress, const Run& run) {
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
        store::Transaction tx(*db);
        working.nsede = 1;
        working.chiave_parametri = chiaveParametri(working.nsede);
        salvaParametri(*db, working.chiave_parametri, parameterRowOf(screen, working));
        RunContext ctx(*db, working, screen, messages, progress);
        RunResult result = run(ctx);
        if (result.end == RunEnd::Declined) return {RunOutcome::Declined, {}};
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
    return startRun(session, screen, messages, progress, screen.sma ? elabora_solodoppi : elabora);
}

RunReport Command3_Click(Session& session, const CheckScreenState& screen, Messages& messages,
                         Progress& progress) {
    return startRun(session, screen, messages, progress, elabora_ean);
}

RunReport checkPriceList(Session& session, const CheckScreenState& screen,
                         const pricelist::PriceList& list, Messages& messages, Progress& progress) {
    return startRun(session, screen, messages, progress,
                    [&list](RunContext& ctx) { return elabora_listino(ctx, list.rows); });
}

}  // namespace cl::check
