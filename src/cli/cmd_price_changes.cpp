#include <iostream>

#include "app/numbers.h"
#include "cli/cli.h"
#include "history/price_changes.h"

namespace cl::cli {
namespace {

int runPriceChanges(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    std::optional<long long> run;
    if (auto text = args.value("run")) {
        auto n = wholeNumber(*text);
        if (!n || *n <= 0) throw UsageError{"--run vuole il numero di un aggiornamento: " + *text};
        run = *n;
    }
    auto csv = args.value("csv");
    if (!csv) throw UsageError{"indicare il file con --csv FILE"};
    ctx.locate();
    auto list = history::priceChangesOfRun(ctx.session, run);
    history::writePriceChangesCsv(list, *csv);
    std::cout << "Scritto " << *csv << " (" << list.lines.size() << " codici a barre"
              << (list.undone ? ", prezzi rimessi dall'annullamento" : "") << ")\n";
    return kDone;
}

Registration reg{{"price-changes",
                  "[--run ID] --csv FILE",
                  "variazioni di prezzo per bilance e casse: un codice a barre per riga "
                  "(CSV con punto e virgola, UTF-8 con BOM)",
                  {"run", "csv"},
                  {},
                  runPriceChanges}};

}  // namespace
}  // namespace cl::cli
