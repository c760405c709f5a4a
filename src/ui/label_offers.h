#pragma once
#include <optional>

#include "app/interfaces.h"
#include "app/session.h"

namespace cl::ui {

// The newest update not undone: the one "Annulla ultimo aggiornamento" is about to undo.
std::optional<long long> lastUndoableRun(Session& session);

// Before the review screen closes after an update: offers the labels of the prices it changed
// (the labels window, left open on its own). Nothing is offered when no price changed.
void offerLabelsAfterUpdate(Session& session, Messages& messages, long long run);
// After an undo: offers the labels that put the old prices back.
void offerLabelsAfterUndo(Session& session, Messages& messages, long long run);

inline constexpr const char* kLabelsTitle = "Etichette da ristampare";

}  // namespace cl::ui
