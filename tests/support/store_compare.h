#pragma once
#include <string>
#include <vector>

#include "serverdata/layout.h"

namespace cl::test {

// What differs between two installations' SQLite files, table by table and value by value
// (row identities included, the journal's rows in their order), with the files' layout
// versions; empty when they hold the same. One line per table at most, naming the first
// difference. A file missing on one side is a difference; on both, none.
std::vector<std::string> storeDifferences(const serverdata::StoreFiles& expected,
                                          const serverdata::StoreFiles& actual);

}  // namespace cl::test
