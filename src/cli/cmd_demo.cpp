#include <iostream>

#include "app/numbers.h"
#include "cli/cli.h"
#include "demo/demo_catalog.h"
#include "demo/demo_store.h"

namespace cl::cli {
namespace {

long long wholeOption(const Args& args, const std::string& name, long long fallback, long long lo,
                      long long hi) {
    auto text = args.value(name);
    if (!text) return fallback;
    auto v = wholeNumber(*text);
    if (!v || *v < lo || *v > hi)
        throw UsageError{"--" + name + " vuole un numero intero da " + std::to_string(lo) + " a " +
                         std::to_string(hi) + ": " + *text};
    return *v;
}

std::uint64_t seedOption(const Args& args) {
    auto text = args.value("seed");
    if (!text) return 1;
    bool digits = !text->empty() && text->size() <= 19 &&
                  text->find_first_not_of("0123456789") == std::string::npos;
    if (!digits) throw UsageError{"--seed vuole un numero intero non negativo: " + *text};
    return std::stoull(*text);
}

void printSummary(const demo::DemoSummary& s, const demo::DemoOptions& o) {
    const auto& m = s.model;
    const auto& wholesaler = demo::supplierByCode(demo::kWholesaler);
    std::cout << "Negozio di prova creato (seme " << o.seed << ", data " << m.today << ").\n"
              << "  Articoli del negozio:       " << m.storeArticles << " (" << m.storeBarcodes
              << " codici a barre, " << m.listRows << " righe nei listini fornitori)\n"
              << "  Articoli centrali:          " << m.centralArticles << ", variati " << m.marked
              << ": aumentati " << m.increased << ", diminuiti " << m.decreased << ", invariati "
              << m.unchanged << ", nuovi " << m.newProducts << ", solo codice fornitore "
              << m.codeOnly << "\n"
              << "  Fornitore ricordato:        " << wholesaler.code << " " << wholesaler.name
              << "\n";
    const char* labels[] = {"Database del negozio:       ", "Database articoli centrale: ",
                            "Database della suite:       ", "Modello della suite:        "};
    for (size_t i = 0; i < s.files.size() && i < 4; ++i)
        std::cout << "  " << labels[i] << s.files[i].windowsPath << " (" << s.files[i].host.string()
                  << ")\n";
}

int runDemo(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    demo::DemoOptions options;
    options.articles = wholeOption(args, "articles", 2000, 1, 1000000);
    options.seed = seedOption(args);
    options.changedShare = static_cast<int>(wholeOption(args, "changed-share", 10, 0, 100));
    CliProgress progress;
    auto summary = demo::createDemo(ctx.session, options, args.flag("force"), progress);
    printSummary(summary, options);
    return kDone;
}

Registration reg{{"demo",
                  "[--articles N] [--seed S] [--changed-share P] [--force]",
                  "crea un negozio di prova (N articoli, predefinito 2000; P% degli articoli "
                  "centrali variati, predefinito 10; --force sostituisce i database esistenti)",
                  {"articles", "seed", "changed-share"},
                  {"force"},
                  runDemo}};

}  // namespace
}  // namespace cl::cli
