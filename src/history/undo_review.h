#pragma once
#include "store/database.h"

namespace cl::history {

// The review rows of a check made after an update, told from the rows the update left. The
// history database must be attached for writing.

// Rows of the review that the run did not leave there.
long long newerReviewRows(store::Database& db, long long run);
// Removes them, so that the rows the run consumed come back alone, as they were.
void discardNewerReview(store::Database& db, long long run);
// Review numbers (bns) that more than one row of the review carries.
long long repeatedReviewNumbers(store::Database& db);

}  // namespace cl::history
