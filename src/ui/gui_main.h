#pragma once
#include "app/session.h"

namespace cl::ui {

// Opens the screens: the check screen first, as at every start of the program.
int runGui(Session& session, bool yes, int argc, char** argv);

}  // namespace cl::ui
