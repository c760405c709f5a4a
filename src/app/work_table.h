#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/value.h"

namespace cl {

// What the rows of the work table (variatil) looked like when the operator was asked about
// them. A command asks with no write transaction open; once it holds the lock it compares
// again, so that it never throws away or applies rows the operator has not seen.
struct WorkTableMark {
    long long rows = 0;
    std::uint64_t digest = 0;  // of every value of every row, in any order
    bool operator==(const WorkTableMark&) const = default;
};

// The rows of variatil that `where` (with its bound parameters; empty for all) selects.
WorkTableMark workTableMark(store::Database& db, const std::string& where = {},
                            const std::vector<store::Value>& params = {});

inline constexpr const char* kWorkTableChanged =
    "Attenzione ... Le righe da rivedere sono cambiate dopo la domanda (un controllo o un "
    "aggiornamento da un'altra postazione?): ripetere l'operazione.";

}  // namespace cl
