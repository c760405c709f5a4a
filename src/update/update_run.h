#pragma once
#include "app/app_state.h"
#include "app/interfaces.h"
#include "app/work_table.h"
#include "review/review_filter.h"
#include "store/database.h"
#include "update/update_settings.h"
#include "update/update_work.h"

namespace cl::review {

// "Aggiorna" (Command5): the supplier-list-only update when CreaLisForn is ticked, else the
// full update. `db` is the store with the fixed-path database attached as "fisso"; `filter`
// is the review grid's (after "Aggiorna Listino": the supplier's selected rows). One
// transaction: on any failure nothing is written and cl::Error carries the message to show.
// `agreed`, when given: the rows of the view as the operator was shown them before the update
// (see reviewMark); other rows there now stop the update, nothing written.
UpdateResult applyUpdate(AppState& state, store::Database& db, const UpdateSettings& settings,
                         const ReviewFilter& filter, Messages& messages, Progress& progress,
                         const WorkTableMark* agreed = nullptr);

// The full update: listi01, codean, listi02 and fistini from the review rows, new articles,
// then the rows consumed from variatil. Shows the closing message after the commit.
UpdateResult aggiorno_tutto(AppState& state, store::Database& db, const UpdateSettings& settings,
                            const ReviewFilter& filter, Messages& messages, Progress& progress,
                            const WorkTableMark* agreed = nullptr);
// The rows of variatil that `filter` shows, as they are now.
WorkTableMark reviewMark(store::Database& db, const ReviewFilter& filter);

// Only the supplier price list listi02, after the operator confirms.
UpdateResult aggiorno_Solo_forn(AppState& state, store::Database& db, const ReviewFilter& filter,
                                Messages& messages, Progress& progress);

// The closing message of the update and its title.
inline constexpr const char* kUpdateDoneMessage =
    "Elaborazione terminata, cliccare su OK per uscire?";
inline constexpr const char* kUpdateDoneTitle = "Attenzione!";
inline constexpr const char* kSupplierListOnlyQuestion =
    "Sei sicuro di voler aggiornare il listino ...";
inline constexpr const char* kNoBarcodeMessage =
    "Attenzione !!!! Sono stati creati dei prodotti senza codici EAN e il programma ha prodotto "
    "una lista.Selezionare i prodotti da Gestione Articoli e aggiungere i codici EAN ...";

}  // namespace cl::review
