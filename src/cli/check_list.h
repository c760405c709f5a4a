#pragma once
#include "cli/cli.h"

namespace cl::cli {

// "history --checks": the checks of the journal, newest first.
int printChecks(Context& ctx);

}  // namespace cl::cli
