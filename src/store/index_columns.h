#pragma once
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::store {

// The columns of a named index, in key order; empty when no index has that name.
std::vector<std::string> indexColumns(Database& db, const std::string& index,
                                      const std::string& schema = "main");

}  // namespace cl::store
