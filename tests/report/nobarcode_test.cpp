#include <gtest/gtest.h>

#include "report/recording_printer.h"
#include "report/report_nobarcode.h"

namespace cl::review {
namespace {

TEST(NoBarcodeLines, LineText) {
    EXPECT_EQ(noBarcodeLine(123, "PANE CASERECCIO               "),
              "Creato Codice : 123   PANE CASERECCIO                 ****NO CODICE EAN");
}

TEST(NoBarcodeLines, OneDocumentWithPageBreaksAndNothingForNoLines) {
    test::RecordingPrinter none;
    printNoBarcodeList(none, {});
    EXPECT_TRUE(none.ops.empty());

    // 10-point lines from the top: 63 lines reach 630, past the limit.
    std::vector<std::string> lines;
    for (int i = 0; i < 70; ++i) lines.push_back(noBarcodeLine(i + 1, "X"));
    test::RecordingPrinter p;
    printNoBarcodeList(p, lines);
    EXPECT_EQ(p.ops[0], "scale 450 650");
    EXPECT_EQ(p.count("newpage"), 1);
    int page = p.find("newpage");
    EXPECT_EQ(p.ops[page - 1], "print [" + lines[62] + "] eol @10");
    EXPECT_EQ(p.ops[page + 2], "print [" + lines[63] + "] eol @10");
    EXPECT_EQ(p.ops.back(), "enddoc");
    EXPECT_EQ(p.count("enddoc"), 1);
}

}  // namespace
}  // namespace cl::review
