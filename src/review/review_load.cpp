#include "review/review_load.h"

#include <optional>

#include "store/fixed_text.h"

namespace cl::review {

namespace {

// A supplier's code as the list holds it: a number, or a text that reads as the code once
// trimmed (a null code stands for supplier 0).
bool isSupplier(const store::Value& stored, long long code) {
    const store::Value wanted(code);
    if (stored.isText()) return store::trimmed(stored.text()) == wanted.text();
    return stored.number() == wanted.number();
}

// The name of the first supplier in the list with this code.
std::optional<std::string> supplierName(store::Database& db, long long code) {
    auto st =
        db.prepare("SELECT codfornitore, dscfornitore FROM fornitori ORDER BY " + db.rowIdentity());
    std::optional<std::string> out;
    while (!out && st.step())
        if (isSupplier(st.value(0), code)) out = st.value(1).text();
    st.reset();  // the walk may stop early: let go of the table
    return out;
}

}  // namespace

ReviewOpening openReviewData(Session& session, store::Database& db) {
    AppState& s = session.state;
    ReviewOpening out;
    // The base condition takes the supplier before the parameter row can change it.
    out.filter.supplier = s.codice_fornitore;
    out.parameters = readParameters(db, s.chiave_parametri);
    if (out.parameters) {
        s.tipo_filtro = out.parameters->tiposel;
        s.codice_fornitore = out.parameters->cliente;
    }
    s.nome_fornitore =
        store::fixedWidth(supplierName(db, s.codice_fornitore).value_or("Sede Centrale"), 45);
    return out;
}

}  // namespace cl::review
