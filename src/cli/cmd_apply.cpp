#include <iostream>
#include <sstream>

#include "cli/cli.h"
#include "review/open_review.h"
#include "review/review_load.h"
#include "store/fixed_text.h"
#include "update/update_run.h"
#include "update/update_summary.h"

namespace cl::cli {
namespace {

using review::UpdateSettings;

// The words of --updates and the boxes they tick.
struct UpdateWord {
    const char* word;
    bool UpdateSettings::*flag;
};
constexpr UpdateWord kWords[] = {
    {"cost", &UpdateSettings::kcos},           {"markup", &UpdateSettings::kric},
    {"price", &UpdateSettings::kpre},          {"create", &UpdateSettings::kcrea},
    {"descriptions", &UpdateSettings::AggDes}, {"departments", &UpdateSettings::AggRep},
    {"groups", &UpdateSettings::gruppiM},      {"units", &UpdateSettings::umeum},
    {"vat", &UpdateSettings::codiceIva},       {"supplier-code", &UpdateSettings::aggcodafo},
    {"pack", &UpdateSettings::aimb},           {"no-send", &UpdateSettings::noinvio},
};

// Exactly the listed boxes ticked, the others not.
void applyList(const std::string& list, UpdateSettings& s) {
    for (const auto& w : kWords) s.*w.flag = false;
    std::stringstream in(list);
    std::string word;
    while (std::getline(in, word, ',')) {
        word = store::trimmed(word);
        if (word.empty()) continue;
        bool known = false;
        for (const auto& w : kWords)
            if (word == w.word) s.*w.flag = known = true;
        if (!known) throw UsageError{"voce sconosciuta in --updates: " + word};
    }
}

int runApply(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    ctx.locate();
    Session& session = ctx.session;
    auto db = session.openStore(true);
    review::presetLastRunSupplier(session, *db);
    review::ReviewOpening opening = review::openReviewData(session, *db);
    UpdateSettings settings = review::settingsAfterReviewLoad(opening.parameters);
    review::ReviewFilter filter = opening.filter;
    review::prepareUpdate(*db, settings, filter);
    if (auto list = args.value("updates")) applyList(*list, settings);
    settings.CreaLisForn = args.flag("supplier-lists-only");

    if (args.flag("dry-run")) {
        if (settings.CreaLisForn) throw UsageError{"--dry-run non va con --supplier-lists-only"};
        std::cout << review::summaryText(
                         review::summarizeUpdate(session.state, *db, settings, filter))
                  << "\nProva (--dry-run): nessuna modifica scritta.\n";
        return kDone;
    }
    CliProgress progress;
    review::UpdateResult r = review::applyUpdateAfterSummary(session.state, *db, settings, filter,
                                                             ctx.messages, progress);
    if (!r.performed) {
        std::cerr << "Aggiornamento non eseguito: nessuna modifica.\n";
        return kFailed;
    }
    for (const auto& line : r.noBarcodeLines) std::cout << line << "\n";
    if (settings.CreaLisForn)
        std::cout << "Listino fornitore aggiornato: " << r.aggiornati << " articoli.\n";
    else
        std::cout << "Articoli aggiornati: " << r.aggiornati << ", creati: " << r.creati
                  << ", esclusi (gruppo bloccato): " << r.esclusi << ".\n";
    std::cout << "Righe elaborate tolte dalla revisione: " << r.rowsConsumed << ".\n";
    if (r.run > 0)
        std::cout << "Etichette dei prezzi variati: controllo-listino labels --run " << r.run
                  << "\n";
    return kDone;
}

Registration reg{{"apply",
                  "[--updates LISTA] [--supplier-lists-only] [--dry-run]",
                  "aggiorna il negozio con le righe selezionate della revisione (Aggiorna "
                  "Listino, Aggiorna); LISTA: cost,markup,price,create,descriptions,departments,"
                  "groups,units,vat,supplier-code,pack,no-send; prima mostra il riepilogo e "
                  "chiede conferma (--yes); --dry-run mostra solo il riepilogo",
                  {"updates"},
                  {"supplier-lists-only", "dry-run"},
                  runApply}};

}  // namespace
}  // namespace cl::cli
