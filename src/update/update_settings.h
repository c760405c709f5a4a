#pragma once
#include <array>
#include <optional>
#include <string>

#include "app/parameters.h"
#include "review/review_filter.h"
#include "store/database.h"

namespace cl::review {

// The boxes of the settings panel "Impostazioni Aggiornamenti", named after their controls.
struct UpdateSettings {
    bool kcos = false;         // "Costo prodotto"
    bool kric = false;         // "% di Ricarica"
    bool kpre = false;         // "Prezzo al Publico Ivato"
    bool kcrea = false;        // "Crea Articoli nuovi"
    bool AggDes = false;       // "Aggiorna Descrizione Articoli"
    bool AggRep = false;       // "Aggiorna Reparto"
    bool gruppiM = false;      // "Aggiorna gruppi merceologici"
    bool umeum = false;        // "UM e UM confezione + Valore Contenuto"
    bool codiceIva = false;    // "Codice Iva"
    bool aggcodafo = false;    // "Aggiorna Codice Articolo  Fornitore"
    bool aimb = false;         // "Imballo"
    bool noinvio = false;      // "Non inviare nel barcode"
    bool CreaLisForn = false;  // "Crea solo in Listini Fornitori"
    bool operator==(const UpdateSettings&) const = default;
};

// One box of the panel: its control name, caption and the flag it drives.
struct UpdateBox {
    const char* control;
    const char* caption;
    bool UpdateSettings::*flag;
};
// The thirteen boxes in the panel's order.
const std::array<UpdateBox, 13>& updateBoxes();

// The boxes as the review screen's load leaves them: kpre, kcrea, umeum, AggRep and AggDes
// ticked, kcos unticked, kric from the parameter row (unticked without a row).
UpdateSettings settingsAfterReviewLoad(const std::optional<ParameterRow>& parameters);

// "Aggiorna Listino": the next free article code for codarw, the grid restricted to the
// selected rows, aggcodafo ticked.
struct UpdatePreparation {
    long long nextCode = 1;
};
UpdatePreparation prepareUpdate(store::Database& db, UpdateSettings& settings,
                                ReviewFilter& filter);

// Highest codart of listi01 + 1 (1 on an empty table), read through the key index so that
// it costs the same on any size of store. Past the largest 32-bit code it is an error.
long long nextFreeCode(store::Database& db);

}  // namespace cl::review
