#include "report/report_print.h"

#include "app/clock.h"
#include "app/numbers.h"
#include "report/report_rows.h"

namespace cl::review {

ReportHeading reportHeading(const Session& session) {
    return {formatDate(todayIso()), session.state.company};
}

void printReviewReport(const Session& session, store::Database& db, const ReviewFilter& filter,
                       Printer& printer) {
    const auto rows = readReportRows(db, filter);
    ReportLayout(printer, reportHeading(session)).stampa2(rows);
}

}  // namespace cl::review
