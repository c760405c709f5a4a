#pragma once
#include <string>

struct sqlite3;

namespace cl::store {

// Unicode case folding (ICU): "CAFFÈ" and "caffè" fold alike, as do "PERCHÉ" and "perché".
// Text that is not valid UTF-8 is returned as it is.
std::string foldCase(const std::string& utf8);

// "<expression> contains the operator's LIKE pattern", letters of any alphabet compared
// without case. The pattern stays a bound parameter, escaped with '\' (see containsPattern).
std::string foldedLikeSql(const std::string& expression);

// Makes the folding available to the statements of a connection.
void registerTextFunctions(sqlite3* db);

}  // namespace cl::store
