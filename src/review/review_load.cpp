#include "review/review_load.h"

#include "store/fixed_text.h"
#include "store/table_view.h"

namespace cl::review {

ReviewOpening apriRevisione(Session& session, store::Database& db) {
    AppState& s = session.state;
    ReviewOpening out;
    // The base condition takes the supplier before the parameter row can change it.
    out.filter.supplier = s.codice_fornitore;
    out.parameters = leggiParametri(db, s.chiave_parametri);
    if (out.parameters) {
        s.tipo_filtro = out.parameters->tiposel;
        s.codice_fornitore = out.parameters->cliente;
    }
    store::TableView fornitori("fornitori", db);
    fornitori.setSource("SELECT * FROM fornitori ");
    fornitori.refresh();
    bool found = fornitori.findFirst("codfornitore", store::Value(s.codice_fornitore));
    s.nome_fornitore =
        store::fixedWidth(found ? fornitori.text("dscfornitore") : "Sede Centrale", 45);
    return out;
}

}  // namespace cl::review
