#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/schema.h"

namespace cl::store {

struct ImportOptions {
    // Folder of the mdbtools programs; empty: looked up in PATH.
    std::filesystem::path toolDir;
    // The kind of database expected; unset: guessed from the tables.
    std::optional<DatabaseKind> kind;
    // Checked against the program's schema before anything is put in place.
    bool validate = false;
    // Name shown in messages for the source (the Windows path where there is one).
    std::string shownName;
    // Table being copied, rows copied so far, rows of the whole file.
    std::function<void(const std::string& table, long long done, long long total)> progress;
};

struct ImportReport {
    struct Table {
        std::string name;
        long long rows = 0;
    };
    std::vector<Table> tables;
    std::optional<DatabaseKind> kind;
    std::vector<std::string> notes;  // indexes not made, defaults not carried over, ...
    long long rows() const;
};

// Converts the Access file into a new SQLite database at target (which must not exist): every
// table, field and row, with the indexes the program seeks on. Built beside the target and
// renamed into place only when complete and checked; the source is only read.
ImportReport importAccess(const std::filesystem::path& source, const std::filesystem::path& target,
                          const ImportOptions& options);

// Where the Access original is kept once a converted database takes its place.
std::filesystem::path keptOriginal(const std::filesystem::path& file);

// Converts the Access file in place: the original is moved to keptOriginal(file) (an older kept
// original is replaced) and the SQLite database takes its name.
ImportReport replaceWithSqlite(const std::filesystem::path& file, const ImportOptions& options);

}  // namespace cl::store
