#include "check/file_supplier.h"

#include <map>

#include "check/store_lookups.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {

constexpr size_t kBlock = 500;

// The suppliers (listi01.codfor) of the store articles the rows' barcodes name, one count per
// article.
std::map<long long, long long> suppliersOfMatched(
    store::Database& db, const std::vector<pricelist::PriceListRow>& rows) {
    StoreLookups lookups(db);
    std::map<long long, long long> count;
    std::vector<long long> seen;
    for (size_t from = 0; from < rows.size(); from += kBlock) {
        std::vector<std::string> eans;
        for (size_t i = from; i < rows.size() && i < from + kBlock; ++i)
            if (!rows[i].ean.empty()) eans.push_back(store::fixedWidth(rows[i].ean, 13));
        lookups.readAheadBarcodes(eans);
        std::vector<long long> codes;
        for (const auto& e : eans)
            if (auto b = lookups.barcode(e); b && b->codare != 0) codes.push_back(b->codare);
        lookups.readAheadPriceRows(codes);
        for (long long code : codes) {
            if (auto p = lookups.priceRow(code); p && !p->codfor.isNull() && p->codfor.integer())
                ++count[p->codfor.integer()];
        }
        lookups.forgetReadAhead();
    }
    return count;
}

std::string supplierName(store::Database& db, long long code) {
    auto st = db.prepare("SELECT dscfornitore FROM fornitori WHERE codfornitore = ? ORDER BY " +
                         db.rowIdentity() + " LIMIT 1");
    st.bind(1, store::Value(code));
    std::string name = st.step() ? store::trimmed(st.value(0).text()) : "";
    return name.empty() ? "codice " + std::to_string(code)
                        : name + ", codice " + std::to_string(code);
}

}  // namespace

bool confirmFileSupplier(store::Database& db, const std::vector<pricelist::PriceListRow>& rows,
                         const CheckScreenState& screen, const AppState& app, Messages& messages) {
    const auto count = suppliersOfMatched(db, rows);
    long long matched = 0, most = 0, other = 0;
    for (const auto& [code, n] : count) {
        matched += n;
        if (code != app.codice_fornitore && n > most) most = n, other = code;
    }
    if (other == 0 || most * 2 <= matched) return true;
    std::string chosen = store::trimmed(app.nome_fornitore);
    if (chosen.empty()) chosen = store::trimmed(screen.supplierText);
    const std::string text =
        "Attenzione: " + std::to_string(most) + " dei " + std::to_string(matched) +
        " articoli del listino trovati nel negozio sono del fornitore " + supplierName(db, other) +
        ", non del fornitore scelto (" + (chosen.empty() ? "" : chosen + ", ") + "codice " +
        std::to_string(app.codice_fornitore) +
        "). Il listino è forse di un altro fornitore: controllarlo comunque per il fornitore "
        "scelto?";
    return messages.ask(text, "Controllo Articoli", Icon::Question, Answer::No) == Answer::Yes;
}

}  // namespace cl::check
