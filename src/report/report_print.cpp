#include "report/report_print.h"

#include "app/clock.h"
#include "app/numbers.h"
#include "report/report_rows.h"

namespace cl::review {

ReportHeading intestazioneReport(const Session& session) {
    return {formatDate(todayIso()), session.state.company};
}

void stampaReport(const Session& session, store::Database& db, const ReviewFilter& filter,
                  Printer& printer) {
    const auto rows = leggoRigheReport(db, filter);
    ReportLayout(printer, intestazioneReport(session)).stampa2(rows);
}

}  // namespace cl::review
