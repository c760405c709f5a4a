#include "print/report_pdf.h"

#include "print/pdf_file.h"
#include "report/report_layout.h"
#include "report/report_nobarcode.h"
#include "report/report_print.h"
#include "report/report_rows.h"

namespace cl::print {

int writeReportPdf(const std::filesystem::path& file, const Session& session, store::Database& db,
                   const review::ReviewFilter& filter) {
    const auto rows = review::readReportRows(db, filter);
    const review::ReportHeading heading = review::reportHeading(session);
    int pages = 0;
    writeDocumentPdf(file, QStringLiteral("CONTROLLO PRODOTTI"), [&](Printer& p) {
        review::ReportLayout layout(p, heading);
        layout.stampa2(rows);
        pages = layout.page();
    });
    return pages;
}

void writeNoBarcodePdf(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    writeDocumentPdf(file, QStringLiteral("Prodotti senza codice EAN"),
                     [&](Printer& p) { review::printNoBarcodeList(p, lines); });
}

}  // namespace cl::print
