#include <iostream>
#include <sstream>

#include "app/numbers.h"
#include "check/check_commands.h"
#include "check/start_up.h"
#include "cli/cli.h"
#include "pricelist/price_list.h"

namespace cl::cli {
namespace {

const char* kUsage =
    "[--supplier CODE] [--updates cost,markup,price,create] [--reference price|cost] "
    "[--filters all,new,increased,decreased,sold] [--only-no-barcode] [--limit TEXT] "
    "[--markup TEXT] [--markup-source groups|new-only] [--round]";
const char* kFileUsage =
    " [--price-list FILE [--columns ean=A,code=B,description=C,cost=D,vat=E,price=F,unit=G,pack=H]"
    " [--sheet N] [--decimal comma|point]]";
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
    throw Error("ATTENZIONE !!!. Il fornitore " + code + " non è in archivio.",
                ErrorKind::NotFound);
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
        case RunOutcome::SupplierDeclined:
            std::cerr << "Controllo non eseguito: il fornitore non è quello dell'ultimo "
                         "controllo (--yes per confermarlo).\n";
            return kFailed;
        case RunOutcome::FileSupplierDeclined:
            std::cerr << "Controllo non eseguito: gli articoli del listino sono per lo più di un "
                         "altro fornitore (--yes per controllarlo comunque).\n";
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

// The supplier's file, read before anything is written: a file that cannot be read stops here.
pricelist::PriceList readPriceList(const Args& args) {
    std::optional<int> sheet;
    if (auto v = args.value("sheet")) {
        auto n = wholeNumber(*v);
        if (!n || *n < 1) throw UsageError{"--sheet vale un numero di foglio da 1 in su: " + *v};
        sheet = static_cast<int>(*n);
    }
    auto columns = args.value("columns");
    if (columns) {
        try {
            pricelist::parseColumnSpec(*columns);
        } catch (const Error& e) {
            // A value the operator typed is a usage error (exit 2); anything else is not.
            if (e.kind() != ErrorKind::InvalidInput) throw;
            throw UsageError{e.what()};
        }
    }
    std::optional<pricelist::NumberStyle> decimal;
    if (auto v = args.value("decimal")) {
        if (*v != "comma" && *v != "point") throw UsageError{"--decimal vale comma o point"};
        decimal = *v == "comma" ? pricelist::NumberStyle::Italian : pricelist::NumberStyle::Plain;
    }
    return pricelist::readPriceListRows(*args.value("price-list"), columns, decimal, sheet);
}

int runFileCheck(Context& ctx, const Args& args) {
    if (args.flag("only-no-barcode"))
        throw UsageError{"--only-no-barcode non vale con --price-list"};
    auto screen = screenFrom(ctx, args);
    CliProgress progress;
    progress.setText("cntw", "0");
    progress.setText("bnsw", "0");
    RunMessages messages(ctx.messages);
    pricelist::PriceList list;
    // Without a supplier the check refuses before the file is read.
    if (ctx.session.state.codice_fornitore != 0) list = readPriceList(args);
    for (const auto& p : list.problems) std::cerr << pricelist::problemLine(p) << "\n";
    auto r = check::checkPriceList(ctx.session, screen, list, messages, progress);
    // The rows the check itself could not price (no VAT rate anywhere, ...).
    for (const auto& p : r.leftOut) std::cerr << pricelist::problemLine(p) << "\n";
    const long long left = list.notChecked() + static_cast<long long>(r.leftOut.size());
    if (left > 0) std::cerr << "Righe del listino non controllate: " << left << "\n";
    return report(r, progress, false);
}

int runCheck(Context& ctx, const Args& args, bool barcode) {
    if (!barcode && args.value("price-list")) return runFileCheck(ctx, args);
    if (args.value("columns") || args.value("sheet") || args.value("decimal"))
        throw UsageError{"--columns, --sheet e --decimal valgono solo con --price-list"};
    auto screen = screenFrom(ctx, args);
    CliProgress progress;
    progress.setText("cntw", "0");
    progress.setText("bnsw", "0");
    RunMessages messages(ctx.messages);
    auto r = barcode ? check::runBarcodeCheck(ctx.session, screen, messages, progress)
                     : check::runArticleCheck(ctx.session, screen, messages, progress);
    return report(r, progress, barcode);
}

const std::vector<std::string> kValues = {"supplier", "updates", "reference",    "filters",
                                          "limit",    "markup",  "markup-source"};
const std::vector<std::string> kFlags = {"only-no-barcode", "round"};
std::vector<std::string> checkValues() {
    auto v = kValues;
    v.insert(v.end(), {"price-list", "columns", "sheet", "decimal"});
    return v;
}
const std::vector<std::string> kBarcodeFlags = {"round"};

Registration check{{"check", std::string(kUsage) + kFileUsage,
                    "\"Controllo dati\": confronta gli articoli variati (o le righe del listino "
                    "di un fornitore, --price-list) e riempie variatil",
                    checkValues(), kFlags,
                    [](Context& c, const Args& a) { return runCheck(c, a, false); }}};
Registration barcodeCheck{{"barcode-check", kBarcodeUsage,
                           "\"Controllo articoli presenti in Barcode\": riempie variatil con "
                           "gli articoli del negozio da inviare",
                           kValues, kBarcodeFlags,
                           [](Context& c, const Args& a) { return runCheck(c, a, true); }}};

}  // namespace
}  // namespace cl::cli
