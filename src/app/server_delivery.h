#pragma once
#include <filesystem>
#include <functional>
#include <string>

#include "app/interfaces.h"
#include "store/access_import.h"
#include "store/database.h"
#include "store/schema.h"

namespace cl {

// Copies every row of `table` from `fromSchema` of one connection into `toSchema` of another:
// the columns both tables have (names compared ignoring case), in the source's row order,
// several rows per statement, inside the caller's transaction on `to`. The rows get new row
// identities there. Returns the rows copied.
long long copyRows(store::Database& from, const std::string& fromSchema, store::Database& to,
                   const std::string& toSchema, const std::string& table);

// Puts the rows of a converted database (a SQLite file of the kind) in place of the rows of
// `schema` on the server: every table of the kind emptied and refilled, each table's count
// checked, inside the caller's transaction on `server`.
void replaceSchemaRows(store::Database& server, const std::string& schema, store::DatabaseKind kind,
                       const std::filesystem::path& converted);

// The server schema that holds a database of the kind.
std::string serverSchemaOf(store::DatabaseKind kind);

// Converts an Access file of the program's (its kind guessed unless the options name it) to a
// scratch file and puts its rows in place of those of the server schema of its kind, in one
// transaction; `beforeCommit`, when given, runs last inside it (false: rolled back). The file
// itself is only read.
store::ImportReport loadIntoServer(const std::string& conninfo, const std::filesystem::path& file,
                                   const store::ImportOptions& options, Progress* progress,
                                   const std::function<bool()>& beforeCommit = {});

// A new Access delivery of the fixed-path article database for an installation on a server:
// converted to a scratch file, its rows put in place of the server's article rows in one
// transaction, and the original kept beside as NAME.access (so that it is taken once). False,
// touching nothing, when the file is not an Access file.
bool deliverToServer(const std::string& conninfo, const std::filesystem::path& file,
                     const std::string& shownName, Messages* messages, Progress* progress);

}  // namespace cl
