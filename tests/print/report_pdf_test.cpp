#include "print/report_pdf.h"

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_store.h"

namespace cl::print {
namespace {

using review::ReviewFilter;

struct Run {
    int rc;
    std::string out;
};

Run run(const std::string& command) {
    Run r{-1, {}};
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf{};
    while (size_t n = std::fread(buf.data(), 1, buf.size(), pipe)) r.out.append(buf.data(), n);
    int status = ::pclose(pipe);
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string pdfText(const std::filesystem::path& pdf) {
    return run("pdftotext -layout '" + pdf.string() + "' -").out;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A review of 40 rows of supplier 12 (the last run's), one of them without its article,
// and a row of another supplier.
class ReportPdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 4)");
        std::string articles, rows;
        for (int i = 1; i <= 40; ++i) {
            std::string n = std::to_string(i), sep = i > 1 ? "," : "";
            if (i != 7)
                articles += sep + "(" + n + ", 'PZ', 6, 12.5, '10', 13.75, 30)";
            else
                articles += sep + "(1000, 'PZ', 6, 1, '10', 1, 30)";
            rows += sep + "(" + n + ", '" + (i % 2 ? "X" : " ") + "', " + n + ", '80" +
                    std::string(11 - n.size(), '0') + n + "', 'ARTICOLO " +
                    std::string(2 - n.size(), '0') + n + "', 12, 1234.5)";
        }
        t.exec(
            "INSERT INTO listi01 (codart, umart, imbart, cofart, ivart, cosiva, ricart) "
            "VALUES " +
            articles);
        t.exec("INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, prezpub) VALUES " +
               rows + ", (99, 'X', 1, '8099999999999', 'ALTRO FORNITORE', 13, 1)");
        pdf = t.root / "controllo.pdf";
        const char* bin = std::getenv("CL_BINARY");
        // Beside the test executable when the environment does not name it.
        binary = bin ? std::string(bin)
                     : (std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                        "controllo-listino")
                           .string();
    }
    std::string cli(const std::string& args) {
        return "QT_QPA_PLATFORM=offscreen '" + binary + "' --root '" + t.root.string() +
               "' --today 2026-12-08 report " + args;
    }
    test::TempStore t;
    std::filesystem::path pdf;
    std::string binary;
};

TEST_F(ReportPdfTest, PdfOfTheViewReadsBackWithTitlePagesAndRows) {
    auto r = run(cli("--pdf '" + pdf.string() + "'"));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(r.out.find("(2 pagine)"), std::string::npos) << r.out;
    std::string text = pdfText(pdf);
    EXPECT_EQ(count(text, "CONTROLLO PRODOTTI"), 2u);
    EXPECT_NE(text.find("Pag. 1"), std::string::npos);
    EXPECT_NE(text.find("Pag. 2"), std::string::npos);
    EXPECT_EQ(count(text, "08/12/2026"), 2u);
    EXPECT_NE(text.find("Codice Ean"), std::string::npos);
    // One row: barcode, description, unit, pack, cost, VAT, cost with VAT, markup, price,
    // margin ((1234.5 - 13.75) / 1234.5 = 98.89 %).
    EXPECT_NE(text.find("8000000000012"), std::string::npos);
    std::string line = text.substr(text.find("8000000000012"));
    line = line.substr(0, line.find('\n'));
    for (const char* cell :
         {"ARTICOLO 12", "PZ", "6", "12,50", "10", "13,75", "30,00", "1.234,50", "98,89"})
        EXPECT_NE(line.find(cell), std::string::npos) << cell << " in: " << line;
    EXPECT_EQ(text.find("8000000000007"), std::string::npos);  // article missing
    EXPECT_EQ(text.find("ALTRO FORNITORE"), std::string::npos);
    EXPECT_EQ(count(text, "ARTICOLO"), 39u);
}

TEST_F(ReportPdfTest, SelectedAndSearchesNarrowTheReport) {
    auto r = run(cli("--pdf '" + pdf.string() + "' --selected"));
    ASSERT_EQ(r.rc, 0) << r.out;
    std::string text = pdfText(pdf);
    EXPECT_EQ(count(text, "ARTICOLO"), 19u);  // 20 odd rows less the missing 7
    EXPECT_NE(r.out.find("(1 pagina)"), std::string::npos);

    r = run(cli("--pdf '" + pdf.string() + "' --search description 'ARTICOLO 3'"));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(count(pdfText(pdf), "ARTICOLO"), 10u);  // 30 to 39 (3 is "ARTICOLO 03")
    // An EAN search replaces the supplier condition, as on the screen.
    r = run(cli("--pdf '" + pdf.string() + "' --search ean 8099999999999"));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(pdfText(pdf).find("ALTRO FORNITORE"), std::string::npos);
}

// The 450 x 650 page covers the printable area: A4 less 10 mm margins, 190 x 277 mm.
TEST_F(ReportPdfTest, FramesSitWhereTheScalePutsThemOnThePaper) {
    auto db = t.session.openStore();
    ReviewFilter filter;
    filter.supplier = 12;
    ASSERT_EQ(writeReportPdf(pdf, t.session, *db, filter), 2);
    auto png = t.root / "page";
    ASSERT_EQ(run("pdftoppm -png -r 100 -f 1 -l 1 -singlefile '" + pdf.string() + "' '" +
                  png.string() + "'")
                  .rc,
              0);
    QImage page(QString::fromStdString(png.string() + ".png"));
    ASSERT_FALSE(page.isNull());
    const double pxPerMm = 100 / 25.4;
    auto px = [&](double mm) { return static_cast<int>(mm * pxPerMm + 0.5); };
    auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    // Left frame of the title band (x = 10 units), seen at the band's middle (y = 35 units).
    const int midY = px(10 + 35.0 / 650 * 277);
    int left = 0;
    while (left < page.width() && !dark(left, midY)) ++left;
    EXPECT_NEAR(left, px(10 + 10.0 / 450 * 190), 2);
    // Top frame of the title band (y = 25 units), seen in the title cell (x = 200 units).
    const int midX = px(10 + 200.0 / 450 * 190);
    int top = 0;
    while (top < page.height() && !dark(midX, top)) ++top;
    EXPECT_NEAR(top, px(10 + 25.0 / 650 * 277), 2);
}

TEST_F(ReportPdfTest, BadCommandLinesAndUnwritableFilesWriteNothing) {
    EXPECT_EQ(run(cli("")).rc, 2);
    EXPECT_EQ(run(cli("--pdf x.pdf --search colour rosso")).rc, 2);
    EXPECT_EQ(run(cli("--pdf x.pdf --search description")).rc, 2);
    EXPECT_EQ(run(cli("--pdf x.pdf --search code abc")).rc, 1);

    auto missing = t.root / "manca" / "r.pdf";
    auto r = run(cli("--pdf '" + missing.string() + "'"));
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.out.find("Impossibile"), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(missing.string() + ".part"));
}

}  // namespace
}  // namespace cl::print
