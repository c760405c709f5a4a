#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "history/labels.h"
#include "labels/label_layouts.h"
#include "labels/labels_fixture.h"
#include "print/label_sheet.h"
#include "support/temp_dir.h"
#include "support/tools.h"

namespace cl::test {
namespace {

#define REQUIRE_PDF_TOOLS()                                     \
    CL_REQUIRE_TOOL("pdftoppm -v", "pdftoppm (poppler-utils)"); \
    CL_REQUIRE_TOOL("zbarimg --version", "zbarimg (zbar-tools)")

int pages(const std::filesystem::path& pdf) {
    std::istringstream in(shellOutput("pdfinfo '" + pdf.string() + "'"));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
    return -1;
}

// The barcodes a real reader finds in an image (the same code twice counts once).
// `images` is a shell word: quoted file names, or a pattern.
std::vector<std::string> scan(const std::string& images) {
    std::vector<std::string> out;
    std::istringstream in(shellOutput("zbarimg -q --raw " + images + " 2>/dev/null"));
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

// Every barcode on every page.
std::set<std::string> decoded(const std::filesystem::path& pdf, const TempDir& dir) {
    std::string prefix = (dir.path / "pagina").string();
    std::system(
        ("rm -f '" + prefix + "'*; pdftoppm -png -r 200 '" + pdf.string() + "' '" + prefix + "'")
            .c_str());
    auto found = scan("'" + prefix + "'*.png");
    return {found.begin(), found.end()};
}

// What the reader finds in each label's own place on the page, slot by slot.
std::vector<std::vector<std::string>> decodedBySlot(const std::filesystem::path& pdf,
                                                    const labels::LabelLayout& layout,
                                                    size_t labels, int copies, const TempDir& dir) {
    std::vector<std::vector<std::string>> out;
    const double dpmm = 300 / 25.4;
    auto px = [&](double mm) { return std::to_string(static_cast<long>(mm * dpmm)); };
    for (const auto& slot : labels::placeLabels(layout, labels, copies)) {
        std::string page = std::to_string(slot.page + 1);
        std::string png = (dir.path / "slot").string();
        std::system(("pdftoppm -png -singlefile -r 300 -f " + page + " -l " + page + " -x " +
                     px(slot.x) + " -y " + px(slot.y) + " -W " + px(layout.labelWidth) + " -H " +
                     px(layout.labelHeight) + " '" + pdf.string() + "' '" + png + "'")
                        .c_str());
        out.push_back(scan("'" + png + ".png'"));
    }
    return out;
}

using LabelSheetPdf = LabelsStore;

TEST_F(LabelSheetPdf, EveryBarcodeOfEveryLayoutScansBackToItsEan) {
    REQUIRE_PDF_TOOLS();
    update();
    auto list = history::labelsToReprint(t.session, std::nullopt);
    ASSERT_EQ(list.labels.size(), 4u);
    struct Case {
        const char* layout;
        int copies, pages;
    };
    for (auto c : {Case{"a4-3x8", 2, 1}, Case{"a4-2x7", 1, 1}, Case{"rotolo-58", 1, 4}}) {
        SCOPED_TRACE(c.layout);
        TempDir dir;
        auto pdf = dir.path / "etichette.pdf";
        print::writeLabelsPdf(list, pdf.string(), c.layout, c.copies);
        EXPECT_EQ(pages(pdf), c.pages);
        // Each label's place holds its own symbol, read back by zbarimg; the ham is sold by
        // weight, so its label has none.
        auto found =
            decodedBySlot(pdf, labels::findLayout(c.layout), list.labels.size(), c.copies, dir);
        ASSERT_EQ(found.size(), list.labels.size() * static_cast<size_t>(c.copies));
        for (size_t i = 0; i < found.size(); ++i) {
            const auto& label = list.labels[i / static_cast<size_t>(c.copies)];
            if (label.ean[0] == '2')
                EXPECT_TRUE(found[i].empty()) << i;
            else
                EXPECT_EQ(found[i], std::vector<std::string>{label.ean}) << i;
        }
        std::string text = shellOutput("pdftotext -layout '" + pdf.string() + "' -");
        for (const char* s : {"€ 7,14", "€ 14,28/LT", "OFFERTA € 1,99", "€ 10,80/KG", "€ 19,90/KG",
                              "Cod. 2100051000009", "MOZZARELLA DI BUFALA"})
            EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
    }
}

TEST_F(LabelSheetPdf, ManyCopiesBreakPagesAndTheListStaysATable) {
    REQUIRE_PDF_TOOLS();
    update();
    auto list = history::labelsToReprint(t.session, std::nullopt);
    TempDir dir;
    auto pdf = dir.path / "e.pdf";
    // 4 labels x 7 copies = 28: a full sheet of 24 and a second page.
    print::writeLabelsPdf(list, pdf.string(), "a4-3x8", 7);
    EXPECT_EQ(pages(pdf), 2);
    EXPECT_EQ(decoded(pdf, dir),
              (std::set<std::string>{"8000000000026", "8000000000033", "8000000000040"}));

    print::writeLabelsPdf(list, pdf.string(), "elenco", 1);
    EXPECT_EQ(pages(pdf), 1);
    std::string text = shellOutput("pdftotext -layout '" + pdf.string() + "' -");
    EXPECT_NE(text.find("Etichette da ristampare"), std::string::npos);
    EXPECT_NE(text.find("Prezzo nuovo"), std::string::npos);

    // A refused layout writes nothing.
    auto none = dir.path / "no.pdf";
    EXPECT_THROW(print::writeLabelsPdf(list, none.string(), "a5", 1), Error);
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST_F(LabelSheetPdf, LongDescriptionsAreMarkedWhereCut) {
    CL_REQUIRE_TOOL("pdftotext -v", "pdftotext (poppler-utils)");
    history::LabelList list;
    history::Label l;
    l.article = 9;
    l.ean = "8000000000057";
    l.newPrice = Money::fromDouble(1.5);
    for (int i = 0; i < 40; ++i) l.description += "FORMAGGIO ";
    list.labels.push_back(l);
    TempDir dir;
    auto pdf = dir.path / "e.pdf";
    print::writeLabelsPdf(list, pdf.string(), "a4-3x8", 1);
    std::string text = shellOutput("pdftotext '" + pdf.string() + "' -");
    EXPECT_NE(text.find("FORMAGGIO…"), std::string::npos) << text;
    EXPECT_EQ(text.find("FORMAGGI…"), std::string::npos) << text;
}

}  // namespace
}  // namespace cl::test
