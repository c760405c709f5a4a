#pragma once
#include "app/interfaces.h"
#include "app/session.h"
#include "report/report_layout.h"
#include "review/review_filter.h"
#include "store/database.h"

namespace cl::review {

// Today's date in the short format and the company of the session.
ReportHeading reportHeading(const Session& session);

// The "Stampa" command: the report of the rows that `filter` shows, as one document.
void printReviewReport(const Session& session, store::Database& db, const ReviewFilter& filter,
                       Printer& printer);

}  // namespace cl::review
