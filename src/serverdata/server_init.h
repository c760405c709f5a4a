#pragma once
#include "store/database.h"
#include "store/schema.h"

namespace cl::serverdata {

// Creates, empty and in one transaction, every table and index of the store database, the
// fixed-path article database, the suite and the journal in their schemas on `server`.
// Refuses (nothing written) when any of those tables is already there.
void initServer(store::Database& server);

// A table of ours already on the server ("main.listi01"), or empty when there is none.
std::string firstTableOnServer(store::Database& server);

// Creates the tables and indexes of one kind of database in `schema`, as the files hold them.
void createTables(store::Database& db, store::DatabaseKind kind, const std::string& schema);

}  // namespace cl::serverdata
