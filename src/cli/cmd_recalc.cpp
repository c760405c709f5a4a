#include <iostream>

#include "cli/review_session.h"

namespace cl::cli {
namespace {

// "Ricalcola Prezzi", the rounding box, then one of the panel's two "Ricalcola".
int runRecalc(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    auto percent = args.value("percent");
    auto markup = args.value("markup");
    if (percent.has_value() == markup.has_value())
        throw UsageError{"indicare --percent P oppure --markup P"};
    auto s = openReviewSession(ctx, ctx.messages);
    if (args.flag("round")) ctx.session.state.fl_arrotonda = std::string(1, 'S');
    long long selected = s->review->openRecalc();
    std::cout << "Articoli Selezionati: " << selected << "\n";
    // The command line asks nothing here: hand-typed prices are recalculated, as the panel does
    // by default, unless --keep-edited says otherwise.
    using HandTyped = review::ReviewController::HandTyped;
    HandTyped handTyped = args.flag("keep-edited") ? HandTyped::Keep : HandTyped::Recalculate;
    long long n = percent ? s->review->recalcFromPrice(*percent, handTyped)
                          : s->review->recalcFromCost(*markup, handTyped);
    if (n == 0)
        std::cout << "Nessun articolo selezionato: nessun prezzo ricalcolato.\n";
    else
        std::cout << "Articoli Aggiornati: " << n << "\n";
    return kDone;
}

Registration reg{{"recalc",
                  "(--percent P | --markup P) [--round] [--keep-edited]",
                  "ricalcola i prezzi di vendita delle righe selezionate (dal prezzo attuale o "
                  "dal costo nuovo); --keep-edited lascia i prezzi modificati a mano",
                  {"percent", "markup"},
                  {"round", "keep-edited"},
                  runRecalc}};

}  // namespace
}  // namespace cl::cli
