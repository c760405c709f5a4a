#include "report/report_layout.h"

#include <gtest/gtest.h>

#include "report/recording_printer.h"
#include "report/report_format.h"

namespace cl::review {
namespace {

using Ops = std::vector<std::string>;

ReportRow row(const std::string& ean, double cofart, double cosiva, double prezzoV,
              bool found = true) {
    ReportRow r;
    r.ean = ean;
    r.descrizione = "PANE";
    r.prezzoV = prezzoV;
    if (found) r.article = ReportArticle{"PZ", store::Value(6), cofart, "10", cosiva, 35};
    return r;
}

// The operations between two indexes, for comparing one band at a time.
Ops slice(const test::RecordingPrinter& p, int from, int count) {
    return Ops(p.ops.begin() + from, p.ops.begin() + from + count);
}

// The top edge of every row band (the frame of its first cell), in order.
std::vector<int> rowTops(const test::RecordingPrinter& p) {
    std::vector<int> tops;
    for (const auto& op : p.ops)
        if (op.rfind("rect 10 ", 0) == 0 && op.find(" 70 ") != std::string::npos &&
            op != "rect 10 67 70 84")
            tops.push_back(std::stoi(op.substr(8)));
    return tops;
}

const Ops kFirstHeading = {
    "scale 450 650", "line 3", "pos 10 20",
    // title band: the date in the printer's font of the moment (12 points here)
    "rect 10 25 100 45", "pos 25 30", "print [08/12/2026] @12", "size 10", "bold off",
    "font times new roman", "rect 100 25 300 45", "size 14", "bold on", "pos 125 30",
    "print [CONTROLLO PRODOTTI ] @14b", "rect 300 25 430 45", "size 10", "pos 360 30",
    "print [Pag.  1 ] eol @10b",
    // company band, 5 below the title line
    "rect 10 45 300 65", "pos 15 50", "print [Societa:ORVIK SRL                ] @10b",
    "rect 300 45 430 65", "pos 305 50", "print [] eol @10b", "bold off", "pos 10 60", "size 10",
    // column headings, 7 below
    "bold on", "rect 10 67 70 84", "pos 12 69", "print [Codice Ean] @10b", "rect 70 67 220 84",
    "pos 72 69", "print [ Descrizione] @10b", "rect 220 67 240 84", "pos 222 69",
    "print [ UM ] @10b", "rect 240 67 260 84", "pos 242 69", "print [Imb.] @10b",
    "rect 260 67 295 84", "pos 262 69", "print [Costo] @10b", "rect 295 67 315 84", "pos 297 69",
    "print [Iva] @10b", "rect 315 67 350 84", "pos 317 69", "print [Cos+iva] @10b",
    "rect 350 67 370 84", "pos 352 69", "print [Ric.] @10b", "rect 370 67 405 84", "pos 372 69",
    "print [Prezzo N.] @10b", "rect 405 67 430 84", "pos 407 69", "print [Marg.] @10b",
    // below the last heading cell, one empty line of the heading font
    "pos 405 84", "print [] eol @10b", "bold off", "line 1"};

TEST(ReportLayout, HeadingBandsCellsFontsAndTextsOfTheFirstPage) {
    test::RecordingPrinter p;
    p.size = 12;
    ReportLayout(p, {"08/12/2026", "ORVIK SRL"}).stampa2({});
    Ops expected = kFirstHeading;
    expected.push_back("enddoc");
    EXPECT_EQ(p.ops, expected);
}

TEST(ReportLayout, RowCellsAmountsAndMargin) {
    test::RecordingPrinter p;
    ReportLayout(p, {"08/12/2026", ""}).stampa2({row("8001234567890", 12.5, 1234.5, 12345)});
    int start = p.find("line 1") + 1;
    const Ops expected = {"size 8",
                          "rect 10 94 70 106",
                          "pos 12 96",
                          "print [8001234567890] @8",
                          "rect 70 94 220 106",
                          "pos 72 96",
                          "print [PANE] @8",
                          "rect 220 94 240 106",
                          "pos 222 96",
                          "print [PZ] @8",
                          "rect 240 94 260 106",
                          "pos 242 96",
                          "print [ 6 ] @8",
                          "rect 260 94 295 106",
                          "pos 262 96",
                          "print [    12,50] @8",
                          "rect 295 94 315 106",
                          "pos 297 96",
                          "print [10] @8",
                          "rect 315 94 350 106",
                          "pos 317 96",
                          "print [ 1.234,50] @8",
                          "rect 350 94 370 106",
                          "pos 352 96",
                          "print [35,00] @8",
                          "rect 370 94 405 106",
                          "pos 372 96",
                          "print [12.345,00] @8",
                          "rect 405 94 430 106",
                          "pos 410 96",
                          "print [90,00] @8",
                          "pos 405 106",
                          "print [] eol @8",
                          "enddoc"};
    EXPECT_EQ(slice(p, start, static_cast<int>(expected.size())), expected);
}

TEST(ReportLayout, MissingArticlesTakeNoSpaceAndAnEmptyViewGivesOneHeading) {
    test::RecordingPrinter p;
    ReportLayout(p, {"08/12/2026", ""})
        .stampa2({row("1", 1, 1, 1), row("2", 1, 1, 1, false), row("3", 1, 1, 1, false),
                  row("4", 1, 1, 1)});
    EXPECT_EQ(rowTops(p), (std::vector<int>{94, 114}));
    EXPECT_EQ(p.find("print [2] @8"), -1);
    EXPECT_EQ(p.count("newpage"), 0);

    test::RecordingPrinter empty;
    ReportLayout(empty, {"08/12/2026", ""}).stampa2({row("9", 1, 1, 1, false)});
    EXPECT_EQ(empty.count("print [Pag.  1 ] eol @10b"), 1);
    EXPECT_EQ(empty.count("newpage"), 0);
    EXPECT_EQ(empty.ops.back(), "enddoc");
}

TEST(ReportLayout, RowReachingTheLimitEndsThePageUnderANewHeading) {
    test::RecordingPrinter p;
    std::vector<ReportRow> rows;
    for (int i = 0; i < 30; ++i) rows.push_back(row(std::to_string(100 + i), 1, 1, 1));
    ReportLayout layout(p, {"08/12/2026", ""});
    layout.stampa2(rows);

    // Rows 20 units apart from 94: the 28th has its text at 636, the first top past 625.
    auto tops = rowTops(p);
    ASSERT_EQ(tops.size(), 30u);
    EXPECT_EQ(tops[26], 614);
    EXPECT_EQ(tops[27], 634);
    int page = p.find("newpage");
    ASSERT_GT(page, p.find("print [127] @8"));
    EXPECT_LT(page, p.find("print [128] @8"));
    EXPECT_EQ(p.count("newpage"), 1);
    EXPECT_EQ(layout.page(), 2);

    // The second heading: the date now in the row font, page 2, then rows from the same top.
    EXPECT_EQ(slice(p, page + 1, 6), (Ops{"line 3", "pos 10 20", "rect 10 25 100 45", "pos 25 30",
                                          "print [08/12/2026] @8", "size 10"}));
    EXPECT_NE(p.find("print [Pag.  2 ] eol @10b", page), -1);
    EXPECT_EQ(tops[28], 94);
    // The page ends after the row's own line: its position is the last heading cell's bottom.
    int afterHeading = p.find("line 1", page);
    EXPECT_EQ(slice(p, afterHeading + 1, 2), (Ops{"pos 405 84", "print [] eol @10"}));
}

TEST(ReportLayout, EveryReportStartsAtPageOne) {
    test::RecordingPrinter first, second;
    ReportLayout(first, {"08/12/2026", ""}).stampa2({});
    ReportLayout(second, {"08/12/2026", ""}).stampa2({});
    EXPECT_EQ(second.count("print [Pag.  1 ] eol @10b"), 1);
}

TEST(ReportFormat, AmountsAreRightAlignedByLeadingBlanks) {
    EXPECT_EQ(amountCell(5), "     5,00");
    EXPECT_EQ(amountCell(12.5), "    12,50");
    EXPECT_EQ(amountCell(999.99), "   999,99");
    EXPECT_EQ(amountCell(1234.5), " 1.234,50");
    EXPECT_EQ(amountCell(12345), "12.345,00");
    EXPECT_EQ(amountCell(0), "     0,00");
    // The minus sign counts: -5 is two characters, -12.5 rounds down to -13, three.
    EXPECT_EQ(amountCell(-5), "    -5,00");
    EXPECT_EQ(amountCell(-12.5), "   -12,50");
    EXPECT_EQ(amountCell(-0.5), "    -0,50");
    EXPECT_EQ(amountCell(-1234.5), "-1.234,50");
    // Six characters and more would give a negative count: no blank at all.
    EXPECT_EQ(amountCell(123456), "123.456,00");
    EXPECT_EQ(amountCell(1234567.5), "1.234.567,50");
    EXPECT_EQ(amountBlanks(-123456), 0);
    // Three read back from a decimal field is still three.
    EXPECT_EQ(amountBlanks(2.99999999999), 5);
}

TEST(ReportFormat, NumbersPrintWithASignBlankAndATrailingBlank) {
    EXPECT_EQ(numberAsPrinted(1), " 1 ");
    EXPECT_EQ(numberAsPrinted(-3), "-3 ");
    EXPECT_EQ(numberAsPrinted(2.5), " 2,5 ");
}

}  // namespace
}  // namespace cl::review
