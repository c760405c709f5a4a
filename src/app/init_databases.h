#pragma once
#include <string>
#include <vector>

#include "app/session.h"

namespace cl {

// Creates the databases that are missing, empty: the suite template client.mdb and the suite
// database tramel.mdb, the store database where the location rules put it, and the fixed-path
// article database. Existing files are never touched. Returns the Windows paths created.
std::vector<std::string> initDatabases(Session& session);

}  // namespace cl
