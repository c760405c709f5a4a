#pragma once
#include "app/session.h"

namespace cl::ui {

// Opens the review screen over variatil for the supplier the check left in the session, as
// the check screen does at the end of a run. False when it could not (the reason was shown).
bool openReviewScreen(Session& session);

}  // namespace cl::ui
