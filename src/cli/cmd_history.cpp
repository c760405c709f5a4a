#include <cstdio>
#include <iostream>

#include "app/numbers.h"
#include "cli/check_list.h"
#include "cli/cli.h"
#include "history/labels.h"
#include "history/price_history.h"
#include "history/ui/history_screens.h"
#include "history/undo.h"
#include "store/error.h"

namespace cl::cli {
namespace {

std::optional<long long> runOption(const Args& args) {
    auto text = args.value("run");
    if (!text) return std::nullopt;
    auto n = wholeNumber(*text);
    if (!n || *n <= 0) throw UsageError{"--run vuole il numero di un aggiornamento: " + *text};
    return *n;
}

int runUndo(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    auto run = runOption(args);
    ctx.locate();
    return history::annullaAggiornamento(ctx.session, run, ctx.messages) ? kDone : kFailed;
}

std::string amount(const std::optional<Money>& m) {
    return m ? formatNumber(m->toDouble(), "#,##0.00") : "";
}
std::string plain(const std::optional<Money>& m) {
    return m ? m->plain() : "";
}

int runHistory(Context& ctx, const Args& args) {
    if (args.flag("checks")) {
        if (!args.positional().empty() || args.value("article") || args.value("ean") ||
            args.flag("csv"))
            throw UsageError{"--checks non va con altre opzioni"};
        return printChecks(ctx);
    }
    auto article = args.value("article");
    auto ean = args.value("ean");
    if (!args.positional().empty() || (article.has_value() == ean.has_value()))
        throw UsageError{"indicare --article CODICE oppure --ean EAN"};
    std::optional<long long> code;
    if (article) {
        code = wholeNumber(*article);
        if (!code)
            throw Error("Attenzione ... Il codice articolo \"" + *article +
                        "\" non è un numero intero valido.");
    }
    ctx.locate();
    auto h = code ? history::storicoArticolo(ctx.session, *code)
                  : history::storicoEan(ctx.session, *ean);
    if (args.flag("csv")) {
        std::cout << "codart,aggiornamento,data,tipo,annullato,costo_prima,costo_dopo,prezzo_prima,"
                     "prezzo_dopo\n";
        for (const auto& c : h.changes)
            std::cout << h.article << "," << c.run << "," << c.at << "," << c.kind << ","
                      << (c.undone ? "S" : "N") << "," << plain(c.costBefore) << ","
                      << plain(c.costAfter) << "," << plain(c.priceBefore) << ","
                      << plain(c.priceAfter) << "\n";
        return kDone;
    }
    std::cout << "Articolo " << h.article << "  " << h.description << "\n";
    if (h.changes.empty()) {
        std::cout << "Nessuna variazione di costo o prezzo registrata.\n";
        return kDone;
    }
    std::printf("%-19s %6s %12s %12s %12s %12s\n", "Data", "Agg.", "Costo prima", "Costo dopo",
                "Prezzo prima", "Prezzo dopo");
    for (const auto& c : h.changes) {
        std::printf("%-19s %6lld %12s %12s %12s %12s%s\n", c.at.c_str(), c.run,
                    c.created ? "nuovo" : amount(c.costBefore).c_str(), amount(c.costAfter).c_str(),
                    c.created ? "nuovo" : amount(c.priceBefore).c_str(),
                    amount(c.priceAfter).c_str(), c.undone ? "  (annullato)" : "");
    }
    return kDone;
}

int runLabels(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    auto run = runOption(args);
    auto pdf = args.value("pdf");
    if (pdf && args.flag("csv")) throw UsageError{"--csv e --pdf si escludono"};
    ctx.locate();
    auto list = history::etichetteDaRistampare(ctx.session, run);
    if (args.flag("csv")) {
        std::cout << history::labelsCsv(list);
        return kDone;
    }
    if (pdf) {
        history::ui::writeLabelsPdf(list, *pdf);
        std::cout << "Scritto " << *pdf << " (" << list.labels.size() << " etichette)\n";
        return kDone;
    }
    std::cout << "Etichette da ristampare - aggiornamento " << list.run << " del " << list.at
              << "\n";
    if (list.labels.empty()) std::cout << "Nessun prezzo di vendita variato.\n";
    for (const auto& l : list.labels) {
        std::printf("%8lld  %-13s  %-40s %10s -> %10s", l.article, l.ean.c_str(),
                    l.description.c_str(), l.oldPrice ? amount(l.oldPrice).c_str() : "nuovo",
                    amount(l.newPrice).c_str());
        if (l.unitPrice)
            std::printf("  (%s/%s)", amount(l.unitPrice).c_str(),
                        l.referenceUnit.empty() ? "UM" : l.referenceUnit.c_str());
        std::printf("\n");
    }
    return kDone;
}

Registration undoReg{
    {"undo",
     "[--run ID]",
     "annulla l'ultimo aggiornamento del listino (o quello indicato); chiede conferma",
     {"run"},
     {},
     runUndo}};
Registration historyReg{
    {"history",
     "(--article CODICE | --ean EAN) [--csv] | --checks",
     "costi e prezzi di vendita passati di un articolo, con date e aggiornamenti; --checks: "
     "i controlli eseguiti",
     {"article", "ean"},
     {"csv", "checks"},
     runHistory}};
Registration labelsReg{{"labels",
                        "[--run ID] [--csv | --pdf FILE]",
                        "etichette da ristampare: articoli con prezzo di vendita variato",
                        {"run", "pdf"},
                        {"csv"},
                        runLabels}};

}  // namespace
}  // namespace cl::cli
