#pragma once
#include <vector>

#include "app/interfaces.h"
#include "review/review_filter.h"
#include "store/database.h"

namespace cl::review {

// The bulk commands of the review screen over the rows of a view. Each is one transaction:
// on any failure nothing is written.

long long countViewRows(store::Database& db, const ReviewFilter& view);
// "Seleziona Tutti" / "Deseleziona Tutti": sel = "X" or empty on every row of the view.
long long setViewSelection(store::Database& db, const ReviewFilter& view, bool selected);

enum class PriceTest { Changed, Increased };
// "Seleziona Solo PV Variati" / "Seleziona solo PV aumentati": rows passing the test get
// variati = "V" and sel = "X"; the others sel = empty (variati untouched).
long long selectByPrice(store::Database& db, const ReviewFilter& view, PriceTest test);
// "Elimina Dati": deletes the rows of the view.
long long deleteRows(store::Database& db, const ReviewFilter& view);
// A click on the selection cell: sel "X" <-> empty on the row with this key. False when the
// key is not in the table.
bool toggleSelection(store::Database& db, long long bns);
// The same for several keys at once; a key not in the table fails the whole command.
void toggleSelections(store::Database& db, const std::vector<long long>& keys);

// The two recalculations of the panel over the rows of the view, counting in "cntbw". Each
// row's margin (rica) follows its new price. With keepEdited, rows whose price was typed by hand
// (modificatoamano "1") are left as they are. Otherwise, with `editedAgreed` not negative, the
// operator was told of that many such rows: more of them by now stop the command, nothing
// written.
long long recalcFromPrice(store::Database& db, const ReviewFilter& view, float p, bool round,
                          bool keepEdited, Progress& progress, long long editedAgreed = -1);
long long recalcFromCost(store::Database& db, const ReviewFilter& view, float p, bool round,
                         bool keepEdited, Progress& progress, long long editedAgreed = -1);

inline constexpr const char* kEditedSinceQuestion =
    "Attenzione ... Altri prezzi sono stati modificati a mano dopo la domanda: nessun prezzo "
    "ricalcolato. Ripetere il ricalcolo.";
// Rows of the view whose price was typed by hand.
long long countHandEdited(store::Database& db, const ReviewFilter& view);

}  // namespace cl::review
