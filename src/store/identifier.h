#pragma once
#include <string>

namespace cl::store {

// A table, column, index or trigger name as an SQL identifier: in double quotes, a quote inside
// doubled. Every name that comes from a file (a store's own columns and indexes, the tables of
// an Access delivery) reaches SQL through here and nowhere else, so that no name can change
// what a statement does.
std::string quoteName(const std::string& name);

}  // namespace cl::store
