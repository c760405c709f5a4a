#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <sstream>

#include "history/labels.h"
#include "print/label_sheet.h"
#include "print/pdf_file.h"
#include "print/report_pdf.h"
#include "report/report_nobarcode.h"
#include "store/error.h"
#include "support/temp_dir.h"
#include "support/tools.h"

// This executable links the printing library and the domain only: no widget code.
namespace cl::print {
namespace {

namespace fs = std::filesystem;

#define REQUIRE_POPPLER() CL_REQUIRE_TOOL("pdfinfo -v", "pdfinfo (poppler-utils)")

int pages(const fs::path& pdf) {
    std::istringstream in(test::shellOutput("pdfinfo '" + pdf.string() + "'"));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
    return -1;
}

std::string text(const fs::path& pdf) {
    return test::shellOutput("pdftotext -layout '" + pdf.string() + "' -");
}

history::LabelList twoLabels() {
    history::LabelList list;
    for (int i = 1; i <= 2; ++i) {
        history::Label l;
        l.article = i;
        l.ean = i == 1 ? "8000000000019" : "8000000000026";
        l.description = i == 1 ? "PASTA DI SEMOLA" : "OLIO EXTRAVERGINE";
        l.newPrice = Money::fromDouble(1.5 * i);
        list.labels.push_back(l);
    }
    return list;
}

TEST(PrintLibrary, LaysOutADocumentAsAPdfWithoutAWidgetApplication) {
    REQUIRE_POPPLER();
    test::TempDir dir;
    const auto pdf = dir.path / "senza-ean.pdf";
    std::vector<std::string> lines;
    for (int i = 1; i <= 3; ++i)
        lines.push_back(review::noBarcodeLine(40 + i, "PANE " + std::to_string(i)));
    writeNoBarcodePdf(pdf, lines);
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_FALSE(QCoreApplication::instance()->inherits("QApplication"));
    EXPECT_EQ(pages(pdf), 1);
    const std::string t = text(pdf);
    for (const char* s : {"PANE 1", "PANE 2", "PANE 3"})
        EXPECT_NE(t.find(s), std::string::npos) << s << " in:\n" << t;

    // No lines, no file.
    const auto none = dir.path / "nessuna.pdf";
    writeNoBarcodePdf(none, {});
    EXPECT_FALSE(fs::exists(none));
}

TEST(PrintLibrary, LabelSheetsAndTheListAreWrittenAndReadBack) {
    REQUIRE_POPPLER();
    test::TempDir dir;
    const auto sheet = dir.path / "etichette.pdf", table = dir.path / "elenco.pdf";
    writeLabelsPdf(twoLabels(), sheet.string(), "a4-3x8", 1);
    writeLabelsPdf(twoLabels(), table.string(), "elenco", 1);
    EXPECT_EQ(pages(sheet), 1);
    EXPECT_EQ(pages(table), 1);
    EXPECT_NE(text(sheet).find("PASTA DI SEMOLA"), std::string::npos);
    const std::string list = text(table);
    EXPECT_NE(list.find("Etichette da ristampare"), std::string::npos) << list;
    EXPECT_NE(list.find("OLIO EXTRAVERGINE"), std::string::npos) << list;
}

// Any PDF the program writes goes to a new file of its own beside the target, then takes the
// target's name: a link left beside it is never written through, and nothing of ours is left.
TEST(PrintLibrary, LabelsNeverWriteThroughALinkBesideTheTarget) {
    test::TempDir dir;
    const auto pdf = dir.path / "etichette.pdf", victim = dir.path / "altro.txt";
    { std::ofstream(victim) << "da non toccare"; }
    fs::create_symlink(victim, pdf.string() + ".part");
    writeLabelsPdf(twoLabels(), pdf.string(), "a4-3x8", 1);
    EXPECT_EQ(test::fileBytes(victim), "da non toccare");
    EXPECT_EQ(test::fileBytes(pdf).substr(0, 5), "%PDF-");
    EXPECT_TRUE(fs::is_symlink(pdf.string() + ".part"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path)) ++entries;
    EXPECT_EQ(entries, 3);  // the victim, its link and the labels
}

TEST(PrintLibrary, AFailedDrawingLeavesNoFileAndAMissingFolderIsAnItalianError) {
    test::TempDir dir;
    const auto pdf = dir.path / "r.pdf";
    EXPECT_THROW(writeDocumentPdf(pdf, QStringLiteral("prova"),
                                  [](Printer&) { throw Error("Attenzione ... interrotta."); }),
                 Error);
    EXPECT_TRUE(fs::is_empty(dir.path));

    const auto missing = dir.path / "manca" / "e.pdf";
    try {
        writeLabelsPdf(twoLabels(), missing.string(), "a4-3x8", 1);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Impossibile scrivere il file " + missing.string()),
                  std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(fs::is_empty(dir.path));
}

}  // namespace
}  // namespace cl::print
