#pragma once
#include <memory>
#include <string>

#include "store/database.h"

namespace cl::test {

// The engine the storage tests run on: SQLite files (the default) or, when the environment
// says CL_TEST_ENGINE=postgres, a PostgreSQL server of the tests' own, started once per
// process.
bool onServerEngine();

// A new, empty server database holding a store installation's schemas; its connection string.
std::string freshServerStore();

// The server database of the TempStore made last in this process ("" on files): the command
// line started by a test works on it.
const std::string& currentServer();
void setCurrentServer(const std::string& conninfo);

}  // namespace cl::test
