#include "update/update_settings.h"

#include <limits>

#include "store/error.h"

namespace cl::review {

const std::array<UpdateBox, 13>& updateBoxes() {
    using S = UpdateSettings;
    static const std::array<UpdateBox, 13> boxes{{
        {"kcos", "Costo prodotto", &S::kcos},
        {"kric", "% di Ricarica", &S::kric},
        {"kpre", "Prezzo al Publico Ivato", &S::kpre},
        {"kcrea", "Crea Articoli nuovi", &S::kcrea},
        {"AggDes", "Aggiorna Descrizione Articoli", &S::AggDes},
        {"AggRep", "Aggiorna Reparto", &S::AggRep},
        {"gruppiM", "Aggiorna gruppi merceologici", &S::gruppiM},
        {"umeum", "UM e UM confezione + Valore Contenuto", &S::umeum},
        {"codiceIva", "Codice Iva", &S::codiceIva},
        {"aggcodafo", "Aggiorna Codice Articolo  Fornitore", &S::aggcodafo},
        {"aimb", "Imballo", &S::aimb},
        {"noinvio", "Non inviare nel barcode", &S::noinvio},
        {"CreaLisForn", "Crea solo in Listini Fornitori", &S::CreaLisForn},
    }};
    return boxes;
}

UpdateSettings settingsAfterReviewLoad(const std::optional<ParameterRow>& parameters) {
    UpdateSettings s;
    s.kpre = s.kcrea = s.umeum = s.AggRep = s.AggDes = true;
    s.kric = parameters && parameters->aric == 1;
    return s;
}

long long nextFreeCode(store::Database& db) {
    auto st = db.prepare("SELECT MAX(codart) FROM listi01");
    store::Value highest;
    if (st.step()) highest = st.value(0);
    st.reset();
    if (highest.isNull()) return 1;
    if (highest.integer() >= std::numeric_limits<int>::max())
        throw Error("Attenzione ... Il codice articolo più alto (" +
                    std::to_string(highest.integer()) +
                    ") è già il massimo possibile: non si possono creare altri articoli.");
    return highest.integer() + 1;
}

UpdatePreparation prepareUpdate(store::Database& db, UpdateSettings& settings,
                                ReviewFilter& filter) {
    UpdatePreparation out;
    out.nextCode = nextFreeCode(db);
    filter.selectedOnly = true;
    settings.aggcodafo = true;
    return out;
}

}  // namespace cl::review
