#pragma once
#include <memory>

#include "app/session.h"
#include "store/database.h"

namespace cl::review {

// Opening the review as the screens do, shared by the screens and the command line.

// The store as the review screen opens it: a read-write connection of its own, kept while the
// review is open.
std::unique_ptr<store::Database> openReviewStore(Session& session);

// What the check screen's load leaves before the review opens: this workstation's parameter
// row and, where the row exists, its supplier (the last run's) in force. The screens have it
// from start-up; the command line, which starts at the review, calls this first.
void presetLastRunSupplier(Session& session, store::Database& db);

}  // namespace cl::review
