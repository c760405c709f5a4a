#pragma once
#include <vector>

#include "serverdata/layout.h"
#include "serverdata/part_copy.h"
#include "store/database.h"

namespace cl::serverdata {

struct MoveReport {
    StoreFiles files;
    bool journal = false;  // the journal was there and is copied too
    std::vector<CopiedTable> tables;
};

// Copies the store database, the fixed-path article database, the suite and (when there is one)
// the journal from their SQLite files into the server's schemas, rows with their row
// identities, in one transaction; each table's row count is checked against its file's.
// Refuses, nothing written, when the server has not been set up or already holds rows. A
// journal of an older layout is brought up to date on a copy of its own: the files are only
// read.
MoveReport importStore(store::Database& server, const StoreFiles& files,
                       const CopyProgress& progress = {});

}  // namespace cl::serverdata
