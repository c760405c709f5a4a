#pragma once
#include <memory>
#include <string>

#include "store/database.h"

namespace cl::serverdata {

// A connection to the server named by a connection string or URI, with the four schemas of the
// installation reachable by name (with OpenMode::Create, before they are there).
std::unique_ptr<store::Database> connectServer(const std::string& connection,
                                               store::OpenMode mode = store::OpenMode::ReadWrite);

}  // namespace cl::serverdata
