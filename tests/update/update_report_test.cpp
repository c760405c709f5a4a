#include <gtest/gtest.h>

#include "report/report_nobarcode.h"

namespace cl::review {
namespace {

struct LinePrinter : Printer {
    std::vector<std::string> lines;
    int ended = 0;
    void setScale(double, double) override {}
    void setPos(double, double) override {}
    double x() const override { return 0; }
    double y() const override { return 0; }
    void setFontName(const std::string&) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    void setLineWidth(int) override {}
    void rect(double, double, double, double) override {}
    void print(const std::string& text, bool lineEnd) override {
        lines.push_back(text + (lineEnd ? "\n" : ""));
    }
    void newPage() override {}
    void endDoc() override { ++ended; }
};

TEST(UpdateReport, NoBarcodeLinesMakeOneDocumentAndNothingWhenEmpty) {
    LinePrinter p;
    printNoBarcodeList(p, {});
    EXPECT_EQ(p.ended, 0);
    printNoBarcodeList(p, {noBarcodeLine(1234, "LATTE INTERO"), noBarcodeLine(7, "UOVA")});
    ASSERT_EQ(p.lines.size(), 2u);
    EXPECT_EQ(p.lines[0], "Creato Codice : 1234   LATTE INTERO  ****NO CODICE EAN\n");
    EXPECT_EQ(p.lines[1], "Creato Codice : 7   UOVA  ****NO CODICE EAN\n");
    EXPECT_EQ(p.ended, 1);
}

}  // namespace
}  // namespace cl::review
