#include "check/check_record.h"

#include "app/numbers.h"
#include "app/parameters.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {

std::string filtersOf(const CheckScreenState& s) {
    std::string out;
    auto add = [&](bool ticked, const char* name) {
        if (ticked) out += (out.empty() ? "" : ",") + std::string(name);
    };
    add(s.tut, "Tutti");
    add(s.nuo, "Nuovi");
    add(s.piu, "Aumentati");
    add(s.men, "Diminuiti");
    add(s.sve, "Venduti");
    return out.empty() ? "nessun filtro" : out;
}

std::string supplierText(long long code, const std::string& name) {
    std::string n = store::trimmed(name);
    return n.empty() ? "codice " + std::to_string(code) : n + ", codice " + std::to_string(code);
}

// The chosen supplier's name: the one picked in the box, or the one shown at start-up.
std::string chosenName(const CheckScreenState& s, const AppState& app) {
    std::string name = store::trimmed(app.nome_fornitore);
    return name.empty() ? store::trimmed(s.supplierText) : name;
}

}  // namespace

history::CheckInfo checkInfo(const CheckScreenState& s, const AppState& app,
                             const std::string& kind) {
    std::string options =
        filtersOf(s) + "; Rif. " + (s.reference == Reference::Cost ? "Costo" : "Prezzo V.") +
        "; % limite " + (store::trimmed(s.perif).empty() ? "0" : s.perif) + "; Ricarica " + s.ricnw;
    if (s.markup == MarkupSource::NewOnly) options += " (solo articoli nuovi)";
    return {kind, app.codice_fornitore, chosenName(s, app), options, std::nullopt};
}

std::optional<std::string> supplierNameOf(store::Database& db, long long code) {
    auto st = db.prepare("SELECT dscfornitore FROM fornitori WHERE codfornitore = ? ORDER BY " +
                         db.rowIdentity());
    st.bind(1, store::Value(code));
    std::optional<std::string> name;
    if (st.step()) name = st.value(0).text();
    st.reset();
    return name;
}

long long rememberedSupplier(store::Database& db, const AppState& app) {
    auto row = readParameters(db, chiaveParametri(app.nsede));
    const long long inRow = row ? row->cliente : app.codice_fornitore;
    bool fromFile = false;
    for (const auto& c : history::listChecks(db)) {
        if (!fromFile) {
            // The row as the newest check left it, unless that was a supplier's file.
            if (c.kind != kKindPriceList || c.supplier != inRow) return inRow;
            fromFile = true;
        } else if (c.kind != kKindPriceList) {
            return c.supplier;  // a file check of an older journal: the central one before it
        }
        if (c.centralSupplier) return *c.centralSupplier;
    }
    // Only file checks, none telling what it replaced: no supplier is better than the file's.
    return fromFile ? 0 : inRow;
}

ComparedSupplier comparedSupplier(store::Database& db, const AppState& app) {
    for (const auto& c : history::listChecks(db))
        if (!c.restored() && c.kind != kKindPriceList) return {c.supplier, c.supplierName, c.at};
    // No check to compare with: the first check after installing is compared with the supplier
    // the parameter row remembers.
    ComparedSupplier out;
    out.code = rememberedSupplier(db, app);
    if (out.code != 0) out.name = supplierNameOf(db, out.code).value_or("");
    return out;
}

bool confirmSupplier(store::Database& db, const CheckScreenState& screen, const AppState& app,
                     Messages& messages) {
    const ComparedSupplier last = comparedSupplier(db, app);
    if (last.code == 0 || last.code == app.codice_fornitore) return true;
    std::string text =
        "Il fornitore scelto (" + supplierText(app.codice_fornitore, chosenName(screen, app)) +
        ") non è quello dell'ultimo controllo (" + supplierText(last.code, last.name) +
        (last.at.empty() ? "" : ", del " + formatDateTime(last.at)) + "). Continuare?";
    return messages.ask(text, "Controllo Articoli", Icon::Question, Answer::No) == Answer::Yes;
}

void checkSupplierUnchanged(store::Database& db, const AppState& app, long long seen) {
    const long long now = comparedSupplier(db, app).code;
    if (now == seen || now == app.codice_fornitore) return;
    throw Error(kLastCheckChanged);
}

}  // namespace cl::check
