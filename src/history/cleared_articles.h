#pragma once
#include <string>

#include "store/database.h"

namespace cl::history {

// Where each central article a check cleared stands now, one row per article still in the
// central database: codart, then 0/1 for
//   marked   marked changed again (a newer delivery)
//   later    cleared again by a later check not put back
//   same     its code still names the product the check saw: one of the barcodes the check
//            recorded is still one of its barcodes (without barcodes: the same description);
//            a check recorded before that was kept counts as the same
//   applied  an update since (not undone) applied a review row of that product
// The journal and the central database must be attached.
std::string clearedArticlesSql(store::Database& db, long long check);

}  // namespace cl::history
