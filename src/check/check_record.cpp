#include "check/check_record.h"

#include "app/numbers.h"
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
    return {kind, app.codice_fornitore, chosenName(s, app), options};
}

bool confirmSupplier(store::Database& db, const CheckScreenState& screen, const AppState& app,
                     Messages& messages) {
    auto last = history::lastCheck(db);
    if (!last || last->supplier == app.codice_fornitore) return true;
    std::string text = "Il fornitore scelto (" +
                       supplierText(app.codice_fornitore, chosenName(screen, app)) +
                       ") non è quello dell'ultimo controllo (" +
                       supplierText(last->supplier, last->supplierName) + ", del " +
                       formatDateTime(last->at) + "). Continuare?";
    return messages.ask(text, "Controllo Articoli", Icon::Question, Answer::No) == Answer::Yes;
}

long long lastCheckId(store::Database& db) {
    auto last = history::lastCheck(db);
    return last ? last->id : 0;
}

void checkSupplierUnchanged(store::Database& db, const AppState& app, long long seenId) {
    auto last = history::lastCheck(db);
    if (!last || last->id == seenId || last->supplier == app.codice_fornitore) return;
    throw Error(kLastCheckChanged);
}

}  // namespace cl::check
