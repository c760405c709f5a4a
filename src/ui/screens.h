#pragma once
#include "app/session.h"

namespace cl::ui {

// Opens the review screen (not modal) over the work table the check has filled.
void openReviewScreen(Session& session);

}  // namespace cl::ui
