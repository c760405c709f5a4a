#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "store/schema.h"

namespace cl::serverdata {

// One database of a store installation: a schema on the server, a file on a single PC.
struct Part {
    std::string schema;
    std::optional<store::DatabaseKind> kind;  // unset: the journal
    std::string label;                        // for messages
};

// The store database, the fixed-path article database, the suite and the journal, in the
// order they are copied.
const std::vector<Part>& parts();

// The tables a part may hold: the program's tables, or the journal's.
std::vector<std::string> tablesOf(const Part& part);

// A journal table that keeps copies of store rows (made as updates need them, not by set-up).
bool isJournalCopy(const std::string& table);

// Where the files of one installation are on this system, as the program itself finds them.
struct StoreFiles {
    std::filesystem::path store, fixed, suite, journal;
    const std::filesystem::path& of(const Part& part) const;
};

// The files of the installation under the session's root (located by the session).
StoreFiles filesOf(const Session& located);

// The files the program would look for under `root`, the store database where the suite's
// first company (as `suiteDb` holds it in `suiteSchema`) puts it.
StoreFiles filesFor(const std::filesystem::path& root, char drive, store::Database& suiteDb,
                    const std::string& suiteSchema);

}  // namespace cl::serverdata
