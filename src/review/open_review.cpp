#include "review/open_review.h"

#include "app/parameters.h"

namespace cl::review {

std::unique_ptr<store::Database> openReviewStore(Session& session) {
    return session.openStore();
}

void presetLastRunSupplier(Session& session, store::Database& db) {
    AppState& state = session.state;
    state.chiave_parametri = chiaveParametri(state.nsede);
    if (auto row = readParameters(db, state.chiave_parametri))
        state.codice_fornitore = row->cliente;
}

}  // namespace cl::review
