#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "report/report_rows.h"

namespace cl::review {

// What the page heading prints besides the fixed texts.
struct ReportHeading {
    std::string date;     // as the system's short format writes it: 08/12/2026
    std::string company;  // its first 25 characters follow "Societa:"
};

// The "CONTROLLO PRODOTTI" report on a 450 x 650 page. One object per report: its pages are
// numbered from 1, so a second report printed in the same session starts at page 1 again.
class ReportLayout {
  public:
    static constexpr int kPageLimit = 625;  // a row whose text top reaches it ends the page
    static constexpr const char* kFont = "times new roman";

    ReportLayout(Printer& printer, ReportHeading heading);

    // The whole report as one document: heading, one framed line per row whose article exists,
    // a new page with its heading after a row that reaches the limit, end of document.
    void stampa2(const std::vector<ReportRow>& rows);
    // The heading of a new page; the print position is left below it.
    void testap2();

    int page() const { return page_; }

  private:
    void nextCell(int width);        // rX1 = rX2, rX2 = rX1 + width, frame drawn
    void frameCell(int x1, int x2);  // a cell of given extent in the current band
    void printAt(double x, double y, const std::string& text, bool lineEnd = false);
    void riga(const ReportRow& row, const ReportArticle& article);

    Printer& p_;
    ReportHeading heading_;
    int page_ = 0;
    // The band and cell being drawn, whole units as the original layout kept them.
    std::int16_t rY_ = 0, rX1_ = 0, rY2_ = 0, rX2_ = 0;
};

// The current print position as a whole number (halves to even).
std::int16_t wholeUnits(double v);

}  // namespace cl::review
