#include <cstdio>
#include <iostream>

#include "app/numbers.h"
#include "app/who.h"
#include "cli/check_list.h"
#include "cli/cli.h"
#include "exports/sheets.h"
#include "history/labels.h"
#include "history/price_history.h"
#include "history/undo.h"
#include "labels/label_layouts.h"
#include "print/label_sheet.h"
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
    return history::undoUpdate(ctx.session, run, ctx.messages) ? kDone : kFailed;
}

std::string amount(const std::optional<Money>& m) {
    return m ? formatNumber(m->toDouble(), "#,##0.00") : "";
}
std::string plain(const std::optional<Money>& m) {
    return m ? m->plain() : "";
}

std::string undoneNote(const history::PriceChange& c) {
    const std::string who = describeWho(c.undoneByUser, c.undoneByPc);
    return who.empty() ? "  (annullato)" : "  (annullato da " + who + ")";
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
                            "\" non è un numero intero valido.",
                        ErrorKind::InvalidInput);
    }
    ctx.locate();
    auto xlsx = args.value("xlsx");
    if (xlsx && args.flag("csv")) throw UsageError{"--csv e --xlsx si escludono"};
    auto h = code ? history::articleHistory(ctx.session, *code)
                  : history::historyByEan(ctx.session, *ean);
    if (xlsx) {
        exports::writeXlsx(*xlsx, {exports::historySheet(h)});
        std::cout << "Scritto " << *xlsx << " (" << h.changes.size() << " variazioni)\n";
        return kDone;
    }
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
    std::printf("%-16s %6s %12s %12s %12s %12s  %s\n", "Data", "Agg.", "Costo prima", "Costo dopo",
                "Prezzo prima", "Prezzo dopo", "Eseguito da");
    for (const auto& c : h.changes) {
        std::printf("%-16s %6lld %12s %12s %12s %12s  %s%s\n", formatDateTime(c.at).c_str(), c.run,
                    c.created ? "nuovo" : amount(c.costBefore).c_str(), amount(c.costAfter).c_str(),
                    c.created ? "nuovo" : amount(c.priceBefore).c_str(),
                    amount(c.priceAfter).c_str(), describeWho(c.byUser, c.byPc).c_str(),
                    c.undone ? undoneNote(c).c_str() : "");
    }
    return kDone;
}

int copiesOption(const Args& args) {
    auto text = args.value("copies");
    if (!text) return 1;
    auto n = wholeNumber(*text);
    if (!n || *n < 1 || *n > labels::kMaxCopies)
        throw UsageError{"--copies vuole un numero da 1 a " + std::to_string(labels::kMaxCopies) +
                         ": " + *text};
    return static_cast<int>(*n);
}

std::string layoutOption(const Args& args) {
    std::string name = args.value("layout").value_or("a4-3x8");
    try {
        labels::findLayout(name);
    } catch (const Error& e) {
        if (e.kind() != ErrorKind::InvalidInput) throw;
        throw UsageError{e.what()};
    }
    return name;
}

void printLabels(const history::LabelList& list) {
    if (list.run)
        std::cout << "Etichette da ristampare - aggiornamento " << list.run << " del "
                  << formatDateTime(list.at) << (list.undone ? " (annullato: prezzi rimessi)" : "")
                  << "\n";
    if (list.labels.empty()) std::cout << "Nessun prezzo di vendita variato.\n";
    for (const auto& l : list.labels) {
        std::printf("%8lld  %-13s  %-40s ", l.article, l.ean.c_str(), l.description.c_str());
        // Articles chosen by code have their current price only.
        if (list.run) std::printf("%10s -> ", l.oldPrice ? amount(l.oldPrice).c_str() : "nuovo");
        std::printf("%10s", amount(l.newPrice).c_str());
        if (l.unitPrice)
            std::printf("  (%s/%s)", amount(l.unitPrice).c_str(),
                        l.referenceUnit.empty() ? "UM" : l.referenceUnit.c_str());
        if (l.offerPrice) std::printf("  OFFERTA %s", amount(l.offerPrice).c_str());
        std::printf("\n");
    }
}

int runLabels(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    auto run = runOption(args);
    auto articles = args.value("articles");
    if (run && articles) throw UsageError{"--run e --articles si escludono"};
    auto pdf = args.value("pdf");
    auto xlsx = args.value("xlsx");
    if ((pdf ? 1 : 0) + (xlsx ? 1 : 0) + (args.flag("csv") ? 1 : 0) > 1)
        throw UsageError{"indicare una sola uscita fra --csv, --pdf e --xlsx"};
    if (!pdf && (args.value("layout") || args.value("copies")))
        throw UsageError{"--layout e --copies valgono solo con --pdf"};
    const std::string layout = layoutOption(args);
    const int copies = copiesOption(args);
    if (copies > 1 && labels::findLayout(layout).table)
        throw UsageError{"--copies non vale per --layout elenco"};
    std::vector<long long> codes;
    if (articles) {
        try {
            codes = history::articleCodes(*articles);
        } catch (const Error& e) {
            // A value the operator typed is a usage error (exit 2); anything else is not.
            if (e.kind() != ErrorKind::InvalidInput) throw;
            throw UsageError{e.what()};
        }
    }
    ctx.locate();
    auto list = articles ? history::labelsForArticles(ctx.session, codes)
                         : history::labelsToReprint(ctx.session, run);
    if (args.flag("csv")) {
        std::cout << history::labelsCsv(list);
    } else if (pdf) {
        print::writeLabelsPdf(list, *pdf, layout, copies);
        std::cout << "Scritto " << *pdf << " (" << list.labels.size() << " etichette)\n";
    } else if (xlsx) {
        exports::writeXlsx(*xlsx, {exports::labelsSheet(list)});
        std::cout << "Scritto " << *xlsx << " (" << list.labels.size() << " etichette)\n";
    } else {
        printLabels(list);
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
     "(--article CODICE | --ean EAN) [--csv | --xlsx FILE] | --checks",
     "costi e prezzi di vendita passati di un articolo, con date e aggiornamenti; --checks: "
     "i controlli eseguiti",
     {"article", "ean", "xlsx"},
     {"csv", "checks"},
     runHistory}};
Registration labelsReg{{"labels",
                        "[--run ID | --articles CODICE,...] [--csv | --xlsx FILE | --pdf FILE "
                        "[--layout a4-3x8|a4-2x7|rotolo-58|elenco] [--copies N]]",
                        "etichette da ristampare: articoli con prezzo di vendita variato",
                        {"run", "pdf", "articles", "layout", "copies", "xlsx"},
                        {"csv"},
                        runLabels}};

}  // namespace
}  // namespace cl::cli
