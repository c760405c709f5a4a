#pragma once
#include <string>

namespace cl {

// Who works at this program: the operating-system user and the name of the PC. The journal
// files them with every update, undo, check and restore, so that a store with several
// back-office PCs can tell who did what.
struct Who {
    std::string user, pc;
};

// Read from the system once per process; an unknown part is "?".
const Who& whoIsHere();

// "mario su CASSA1", or "" when neither is known (rows of a journal older than the record).
std::string describeWho(const std::string& user, const std::string& pc);

}  // namespace cl
