#pragma once
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::store {

// A copy of the program connected to the same server database.
struct Workstation {
    std::string pc, user, since;  // since: "YYYY-MM-DD HH:MM:SS", "" when the server hides it
};

// Names this server connection as the program on `pc` for `user`, so that the other
// workstations see it for as long as it stays open. Nothing on files.
void announceWorkstation(Database& db, const std::string& pc, const std::string& user);

// The other named connections of the program to the same server database. Empty on files.
std::vector<Workstation> otherWorkstations(Database& db);

}  // namespace cl::store
