#pragma once
#include <string>

#include "app/app_state.h"
#include "app/interfaces.h"
#include "check/check_state.h"
#include "history/check_journal.h"
#include "store/database.h"

namespace cl::check {

// The journal's record of a check: its kind, supplier and the options the operator chose.
history::CheckInfo checkInfo(const CheckScreenState& screen, const AppState& app,
                             const std::string& kind);

// Asks before a check for another supplier than the last check's (default No). True when the
// check may go on. The journal must be attached; no transaction may be open.
bool confirmSupplier(store::Database& db, const CheckScreenState& screen, const AppState& app,
                     Messages& messages);
// The number of the check the supplier question compares with (0: none).
long long lastCheckId(store::Database& db);
// Inside the run's transaction: a check of another supplier recorded since the question (whose
// last check was `seenId`) stops the run, as the operator was not asked about it.
void checkSupplierUnchanged(store::Database& db, const AppState& app, long long seenId);

inline constexpr const char* kLastCheckChanged =
    "Attenzione ... Un altro controllo è stato eseguito dopo la domanda sul fornitore: ripetere "
    "il controllo.";

inline constexpr const char* kKindChanged = "Controllo dati";
inline constexpr const char* kKindNoBarcode = "Controllo dati (Solo prodotti doppi)";
inline constexpr const char* kKindBarcode = "Controllo articoli presenti in Barcode";
inline constexpr const char* kKindPriceList = "Listino da file";

}  // namespace cl::check
