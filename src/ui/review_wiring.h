#pragma once
#include "app/session.h"

namespace cl::ui {

// Connects the review screen's commands to the screens that serve them: the update panel
// ("Aggiorna Listino"), the printed report ("Stampa"), and the journal of updates (undo,
// price history, shelf labels).
void wireReviewScreen();

}  // namespace cl::ui
