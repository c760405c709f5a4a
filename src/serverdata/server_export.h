#pragma once
#include <filesystem>

#include "serverdata/server_import.h"

namespace cl::serverdata {

// Writes the server's data back as SQLite files under `root`, where the program run with that
// root and drive looks for them: the suite, the store database in the folder the suite's first
// company names, the fixed-path article database, and the journal when it holds anything. Rows
// keep their row identities; each table's row count is checked. Every file is built beside its
// target and renamed into place only once all are complete. Refuses, writing nothing, when any
// of the files is already there.
MoveReport exportStore(store::Database& server, const std::filesystem::path& root, char drive,
                       const CopyProgress& progress = {});

}  // namespace cl::serverdata
