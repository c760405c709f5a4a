#include "report/report_layout.h"

#include <cmath>

#include "app/numbers.h"
#include "app/percentages.h"
#include "report/report_format.h"
#include "store/fixed_text.h"

namespace cl::review {

namespace {

struct Column {
    const char* heading;
    int width;
};

// Extents 10-70, 70-220, 220-240, 240-260, 260-295, 295-315, 315-350, 350-370, 370-405,
// 405-430.
constexpr Column kColumns[] = {
    {"Codice Ean", 60}, {" Descrizione", 150}, {" UM ", 20}, {"Imb.", 20},      {"Costo", 35},
    {"Iva", 20},        {"Cos+iva", 35},       {"Ric.", 20}, {"Prezzo N.", 35}, {"Marg.", 25}};
constexpr int kLeft = 10;

// Margin on the sale price in percent; 0 for a price of 0.
double margine(double prezzoV, double cosiva) {
    return prezzoV != 0 ? marginPercent(prezzoV, cosiva) : 0;
}

// A field printed as stored: texts as they are, numbers as the printer writes numbers.
std::string asStored(const store::Value& v) {
    if (v.isNull()) return {};
    if (v.isText()) return v.text();
    return numberAsPrinted(v.number());
}

}  // namespace

std::int16_t wholeUnits(double v) {
    return static_cast<std::int16_t>(std::nearbyint(v));
}

ReportLayout::ReportLayout(Printer& printer, ReportHeading heading)
    : p_(printer), heading_(std::move(heading)) {}

void ReportLayout::frameCell(int x1, int x2) {
    rX1_ = static_cast<std::int16_t>(x1);
    rX2_ = static_cast<std::int16_t>(x2);
    p_.rect(rX1_, rY_, rX2_, rY2_);
}

void ReportLayout::nextCell(int width) {
    frameCell(rX2_, rX2_ + width);
}

void ReportLayout::printAt(double x, double y, const std::string& text, bool lineEnd) {
    p_.setPos(x, y);
    p_.print(text, lineEnd);
}

void ReportLayout::testap2() {
    ++page_;
    p_.setLineWidth(3);
    const std::string company = store::fixedWidth(heading_.company, 25);

    // Title band. The date keeps whatever font the printer has at this moment.
    p_.setPos(kLeft, 20);
    rY_ = 25;
    rY2_ = 45;
    frameCell(kLeft, 100);
    printAt(25, 30, heading_.date);
    p_.setFontSize(10);
    p_.setBold(false);
    p_.setFontName(kFont);
    frameCell(100, 300);
    p_.setFontSize(14);
    p_.setBold(true);
    printAt(125, 30, "CONTROLLO PRODOTTI ");
    frameCell(300, 430);
    p_.setFontSize(10);
    printAt(360, 30, "Pag. " + numberAsPrinted(page_), true);

    // Company band.
    rY_ = wholeUnits(p_.y() + 5);
    rY2_ = rY_ + 20;
    frameCell(kLeft, 300);
    printAt(15, rY_ + 5, "Societa:" + company);
    frameCell(300, 430);
    printAt(305, rY_ + 5, "", true);

    p_.setBold(false);
    p_.setPos(kLeft, p_.y());
    p_.setFontSize(10);

    // Column headings.
    rY_ = wholeUnits(p_.y() + 7);
    rY2_ = rY_ + 17;
    p_.setBold(true);
    rX2_ = kLeft;
    for (const Column& c : kColumns) {
        nextCell(c.width);
        printAt(rX1_ + 2, rY_ + 2, c.heading);
    }
    printAt(rX1_, rY2_, "", true);
    p_.setBold(false);
    p_.setLineWidth(1);
}

void ReportLayout::riga(const ReportRow& row, const ReportArticle& a) {
    const double textY = rY_ + 2;
    auto cell = [&](int width, const std::string& text) {
        nextCell(width);
        printAt(rX1_ + 2, textY, text);
    };
    p_.rect(rX1_, rY_, rX2_, rY2_);
    printAt(rX1_ + 2, textY, row.ean);
    cell(kColumns[1].width, row.descrizione);
    cell(kColumns[2].width, a.umart);
    cell(kColumns[3].width, asStored(a.imbart));
    cell(kColumns[4].width, amountCell(a.cofart));
    cell(kColumns[5].width, a.ivart);
    cell(kColumns[6].width, amountCell(a.cosiva));
    cell(kColumns[7].width, formatNumber(a.ricart, "#0.00"));
    cell(kColumns[8].width, amountCell(row.prezzoV));
    nextCell(kColumns[9].width);
    printAt(rX1_ + 5, textY, formatNumber(margine(row.prezzoV, a.cosiva), "##0.00"));
}

void ReportLayout::stampa2(const std::vector<ReportRow>& rows) {
    p_.setScale(450, 650);
    testap2();
    for (const ReportRow& row : rows) {
        rY_ = wholeUnits(p_.y());
        p_.setFontSize(8);
        rX1_ = kLeft;
        rX2_ = kLeft + kColumns[0].width;
        rY2_ = rY_ + 12;
        if (!row.article) continue;  // not in listi01: no line, no space
        riga(row, *row.article);
        rY_ = wholeUnits(p_.y());
        if (rY_ >= kPageLimit) {
            p_.newPage();
            testap2();
        }
        printAt(rX1_, rY2_, "", true);
    }
    p_.endDoc();
}

}  // namespace cl::review
