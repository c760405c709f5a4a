#pragma once
#include <optional>
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

// The name of the supplier with this code in fornitori (the first entered), if any.
std::optional<std::string> supplierNameOf(store::Database& db, long long code);

// The supplier the central check remembers: the parameter row's, unless a check of a supplier's
// file wrote it there, whose record keeps the one before it (0: none). The journal attached to
// read, or not at all.
long long rememberedSupplier(store::Database& db, const AppState& app);

// The supplier the question before a central check compares with: that of the newest check of
// the central database not put back; without one, the supplier remembered (code 0: none).
struct ComparedSupplier {
    long long code = 0;
    std::string name;
    std::string at;  // the check's time; empty when no check tells it
};
ComparedSupplier comparedSupplier(store::Database& db, const AppState& app);

// Asks before a check for another supplier than the compared one (default No). True when the
// check may go on. The journal must be attached; no transaction may be open.
bool confirmSupplier(store::Database& db, const CheckScreenState& screen, const AppState& app,
                     Messages& messages);
// Inside the run's transaction: another supplier to compare with than when the question was
// asked (`seen`, from comparedSupplier) stops the run, as the operator was not asked about it.
void checkSupplierUnchanged(store::Database& db, const AppState& app, long long seen);

inline constexpr const char* kLastCheckChanged =
    "Attenzione ... Un altro controllo è stato eseguito dopo la domanda sul fornitore: ripetere "
    "il controllo.";

inline constexpr const char* kKindChanged = "Controllo dati";
inline constexpr const char* kKindNoBarcode = "Controllo dati (Solo prodotti doppi)";
inline constexpr const char* kKindBarcode = "Controllo articoli presenti in Barcode";
inline constexpr const char* kKindPriceList = "Listino da file";

}  // namespace cl::check
