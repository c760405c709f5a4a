#include "print/qt_printer.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <filesystem>

#include "print/pdf_file.h"
#include "store/error.h"

namespace cl::print {
namespace {

std::filesystem::path tempPdf(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("cl-report-" + std::to_string(::getpid()) + "-" + name + ".pdf");
}

struct PdfPrinter {
    explicit PdfPrinter(const std::string& name, QPageSize::PageSizeId paper = QPageSize::A4)
        : file(tempPdf(name)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        prepareReportPrinter(printer, "prova");
        printer.setPageSize(QPageSize(paper));
    }
    ~PdfPrinter() { std::filesystem::remove(file); }
    bool app = (ensureGuiApplication(), true);  // before the QPrinter
    std::filesystem::path file;
    QPrinter printer{QPrinter::HighResolution};
};

TEST(QtPrinter, TextMovesRightAndALineEndGoesBackToTheMarginOneLineDown) {
    PdfPrinter pdf("moves");
    QtPrinter p(pdf.printer);
    p.setScale(450, 650);
    p.setFontName("times new roman");
    p.setFontSize(10);
    p.setPos(100, 200);
    p.print("Pag. ", false);
    const double afterText = p.x();
    EXPECT_GT(afterText, 100);
    EXPECT_EQ(p.y(), 200);

    // One 10-point line in units of a 650-unit page height.
    QFontMetricsF fm(p.font(), &pdf.printer);
    const double line = fm.lineSpacing() * 650 / pdf.printer.height();
    p.print("1", true);
    EXPECT_EQ(p.x(), 0);
    EXPECT_NEAR(p.y(), 200 + line, 1e-9);
    // About 11.5 points of line on A4 less 20 mm: some 9.5 units.
    EXPECT_NEAR(line, 9.5, 0.6);

    p.newPage();
    EXPECT_EQ(p.x(), 0);
    EXPECT_EQ(p.y(), 0);
    p.endDoc();
    EXPECT_GT(std::filesystem::file_size(pdf.file), 0u);
}

TEST(QtPrinter, FontSizesStayInPointsWhateverTheScaleAndTheFontHasItsMetricTwin) {
    PdfPrinter pdf("scale");
    QtPrinter p(pdf.printer);
    p.setFontName("times new roman");
    p.setFontSize(8);
    p.setScale(450, 650);
    p.print("", true);
    const double line450 = p.y();
    p.setScale(900, 1300);
    p.setPos(0, 0);
    p.print("", true);
    EXPECT_NEAR(p.y(), 2 * line450, 1e-9);  // same points, twice the units

    QFontInfo info(p.font());
    EXPECT_TRUE(info.family() == "Times New Roman" || info.family() == "Liberation Serif")
        << info.family().toStdString();
    EXPECT_DOUBLE_EQ(p.font().pointSizeF(), 8);
    p.endDoc();
}

TEST(QtPrinter, TheScaleCoversThePrintableAreaOfAnyPaper) {
    PdfPrinter a4("a4"), letter("letter", QPageSize::Letter);
    QtPrinter pa(a4.printer), pl(letter.printer);
    for (QtPrinter* p : {&pa, &pl}) {
        p->setScale(450, 650);
        p->setFontSize(10);
        p->print("", true);
    }
    // The same 10-point line is more units on the shorter Letter page.
    const double a4Height = a4.printer.pageLayout().paintRectPoints().height();
    const double letterHeight = letter.printer.pageLayout().paintRectPoints().height();
    EXPECT_NEAR(pl.y() / pa.y(), a4Height / letterHeight, 0.01);
    pa.endDoc();
    pl.endDoc();
}

TEST(QtPrinter, AFileThatCannotBeWrittenIsAnItalianError) {
    ensureGuiApplication();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/cartella/che/non/esiste/r.pdf");
    try {
        QtPrinter p(printer);
        FAIL() << "stampa avviata";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Impossibile avviare la stampa"), std::string::npos);
    }
}

}  // namespace
}  // namespace cl::print
