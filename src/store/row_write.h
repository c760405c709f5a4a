#pragma once
#include <map>
#include <string>

#include "store/database.h"

namespace cl::store {

// Writes the given field values as one INSERT (a new row; its identity is returned) or one
// UPDATE of the row with that identity. Field names reach SQL through quoteName.
long long writeRow(Database& db, const std::string& qualifiedTable,
                   const std::map<std::string, Value>& values, long long rowid, bool insert);

}  // namespace cl::store
