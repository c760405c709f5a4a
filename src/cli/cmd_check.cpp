#include <iostream>
#include <sstream>

#include "app/numbers.h"
#include "check/check_commands.h"
#include "check/start_up.h"
#include "cli/cli.h"

namespace cl::cli {
namespace {

const char* kUsage =
    "[--supplier CODE] [--updates cost,markup,price,create] [--reference price|cost] "
    "[--filters all,new,increased,decreased,sold] [--only-no-barcode] [--limit TEXT] "
    "[--markup TEXT] [--markup-source groups|new-only] [--round]";
// The barcode check has no "Solo prodotti doppi": it is a box of the other run.
const char* kBarcodeUsage =
    "[--supplier CODE] [--updates cost,markup,price,create] [--reference price|cost] "
    "[--filters all,new,increased,decreased,sold] [--limit TEXT] [--markup TEXT] "
    "[--markup-source groups|new-only] [--round]";

std::vector<std::string> listOf(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty()) out.push_back(item);
    return out;
}

// Ticks exactly the boxes named in the list.
void tickExactly(const std::string& option, const std::string& text,
                 const std::vector<std::pair<std::string, bool*>>& boxes) {
    for (auto& [name, box] : boxes) *box = false;
    for (const auto& item : listOf(text)) {
        bool known = false;
        for (auto& [name, box] : boxes)
            if (item == name) *box = known = true;
        if (!known) throw UsageError{"valore sconosciuto in --" + option + ": " + item};
    }
}

void chooseSupplier(Context& ctx, check::CheckScreenState& s,
                    const std::vector<check::Supplier>& suppliers, const std::string& code) {
    auto n = wholeNumber(code);
    if (!n) throw UsageError{"codice fornitore non valido: " + code};
    for (const auto& sup : suppliers)
        if (sup.code == *n) return check::chooseSupplier(s, ctx.session.state, code, sup.name);
    throw Error("ATTENZIONE !!!. Il fornitore " + code + " non è in archivio.");
}

// The screen's state after start-up, changed as the options say (nothing is clicked, so the
// filter code stays 4).
check::CheckScreenState screenFrom(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    ctx.locate();
    check::CheckScreenState s;
    auto suppliers = check::formLoad(ctx.session, s);
    if (auto v = args.value("supplier")) chooseSupplier(ctx, s, suppliers, *v);
    if (auto v = args.value("updates"))
        tickExactly(
            "updates", *v,
            {{"cost", &s.kcos}, {"markup", &s.kric}, {"price", &s.kpre}, {"create", &s.kcrea}});
    if (auto v = args.value("reference")) {
        if (*v != "price" && *v != "cost") throw UsageError{"--reference vale price o cost"};
        s.reference = *v == "cost" ? check::Reference::Cost : check::Reference::Price;
    }
    if (auto v = args.value("filters"))
        tickExactly("filters", *v,
                    {{"all", &s.tut},
                     {"new", &s.nuo},
                     {"increased", &s.piu},
                     {"decreased", &s.men},
                     {"sold", &s.sve}});
    s.sma = args.flag("only-no-barcode");
    if (auto v = args.value("limit")) s.perif = *v;
    if (auto v = args.value("markup")) s.ricnw = *v;
    if (auto v = args.value("markup-source")) {
        if (*v != "groups" && *v != "new-only")
            throw UsageError{"--markup-source vale groups o new-only"};
        s.markup = *v == "groups" ? check::MarkupSource::Groups : check::MarkupSource::NewOnly;
    }
    if (args.flag("round")) ctx.session.state.fl_arrotonda.assign(1, 'S');  // "S"
    return s;
}

// A refusal goes to stderr like every failure; other notices to stdout.
class RunMessages : public Messages {
  public:
    explicit RunMessages(Messages& inner) : inner_(inner) {}
    void show(const std::string& text, Icon icon, const std::string& title) override {
        if (text == check::kNoSupplier) icon = Icon::Critical;
        inner_.show(text, icon, title);
    }
    Answer ask(const std::string& text, const std::string& title, Icon icon, Answer a) override {
        return inner_.ask(text, title, icon, a);
    }

  private:
    Messages& inner_;
};

int report(const check::RunReport& r, const CliProgress& progress, bool barcode) {
    using check::RunOutcome;
    switch (r.outcome) {
        case RunOutcome::NoSupplier:
        case RunOutcome::Failed:
            return kFailed;
        case RunOutcome::Declined:
            std::cerr << "Controllo non eseguito: le righe di variatil non ancora aggiornate "
                         "restano per la revisione.\n";
            return kFailed;
        case RunOutcome::NoArticles:
            std::cout << "Righe scritte in variatil: 0\n";
            return kDone;
        case RunOutcome::Done:
            break;
    }
    if (!barcode) {
        std::cout << "Articoli controllati: " << progress.get("cntw") << "\n"
                  << "Articoli elaborati: " << progress.get("bnsw") << "\n";
    } else {
        std::cout << "Coppie articolo/barcode esaminate: " << r.counts.examined << "\n";
    }
    std::cout << "Righe scritte in variatil: " << r.counts.written << "\n";
    return kDone;
}

int runCheck(Context& ctx, const Args& args, bool barcode) {
    auto screen = screenFrom(ctx, args);
    CliProgress progress;
    progress.setText("cntw", "0");
    progress.setText("bnsw", "0");
    RunMessages messages(ctx.messages);
    auto r = barcode ? check::Command3_Click(ctx.session, screen, messages, progress)
                     : check::Command1_Click(ctx.session, screen, messages, progress);
    return report(r, progress, barcode);
}

const std::vector<std::string> kValues = {"supplier", "updates", "reference",    "filters",
                                          "limit",    "markup",  "markup-source"};
const std::vector<std::string> kFlags = {"only-no-barcode", "round"};
const std::vector<std::string> kBarcodeFlags = {"round"};

Registration check{
    {"check", kUsage, "\"Controllo dati\": confronta gli articoli variati e riempie variatil",
     kValues, kFlags, [](Context& c, const Args& a) { return runCheck(c, a, false); }}};
Registration barcodeCheck{{"barcode-check", kBarcodeUsage,
                           "\"Controllo articoli presenti in Barcode\": riempie variatil con "
                           "gli articoli del negozio da inviare",
                           kValues, kBarcodeFlags,
                           [](Context& c, const Args& a) { return runCheck(c, a, true); }}};

}  // namespace
}  // namespace cl::cli
