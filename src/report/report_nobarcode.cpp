#include "report/report_nobarcode.h"

#include "report/report_format.h"
#include "report/report_layout.h"

namespace cl::review {

std::string noBarcodeLine(long long codice, const std::string& descrizione) {
    return "Creato Codice :" + numberAsPrinted(static_cast<double>(codice)) + "  " + descrizione +
           "  " + "****NO CODICE EAN";
}

void printNoBarcodeList(Printer& printer, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    printer.setScale(450, 650);
    printer.setFontName(ReportLayout::kFont);
    printer.setFontSize(10);
    printer.setBold(false);
    printer.setPos(0, 0);
    for (const std::string& line : lines) {
        if (printer.y() >= ReportLayout::kPageLimit) {
            printer.newPage();
            printer.setPos(0, 0);
        }
        printer.print(line, true);
    }
    printer.endDoc();
}

}  // namespace cl::review
