#include <gtest/gtest.h>

#include "labels/labels_fixture.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace cl::test {
namespace {

struct CliLabels : LabelsStore {
    TempDir out;
    void SetUp() override {
        if (!programPath()) GTEST_SKIP() << "CL_BINARY not set";
    }
    std::string file(const std::string& name) { return (out.path / name).string(); }
};

TEST_F(CliLabels, LabelSheetsSpreadsheetsAndPriceChanges) {
    update();
    auto pdf = runProgram(
        t.root, {"labels", "--pdf", file("e.pdf"), "--layout", "a4-2x7", "--copies", "3"});
    EXPECT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(pdf.out, "Scritto " + file("e.pdf") + " (4 etichette)\n");
    EXPECT_TRUE(std::filesystem::exists(file("e.pdf")));

    auto chosen = runProgram(t.root, {"labels", "--articles", "1,3", "--pdf", file("a.pdf")});
    EXPECT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_NE(chosen.out.find("(2 etichette)"), std::string::npos);
    // Chosen articles are listed at their current price, with no update and no old price.
    auto listed = runProgram(t.root, {"labels", "--articles", "3"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out.find("->"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("MOZZARELLA DI BUFALA"), std::string::npos);
    EXPECT_NE(listed.out.find("OFFERTA 1,99"), std::string::npos);

    auto xlsx = runProgram(t.root, {"labels", "--xlsx", file("e.xlsx")});
    EXPECT_EQ(xlsx.exitCode, 0) << xlsx.err;
    EXPECT_EQ(fileBytes(file("e.xlsx")).substr(0, 2), "PK");

    auto hist = runProgram(t.root, {"history", "--article", "2", "--xlsx", file("s.xlsx")});
    EXPECT_EQ(hist.exitCode, 0) << hist.err;
    EXPECT_EQ(hist.out, "Scritto " + file("s.xlsx") + " (1 variazioni)\n");

    auto csv = runProgram(t.root, {"price-changes", "--csv", file("p.csv")});
    EXPECT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out, "Scritto " + file("p.csv") + " (4 codici a barre)\n");
    std::string bytes = fileBytes(file("p.csv"));
    EXPECT_EQ(bytes.substr(0, 7),
              "\xEF\xBB\xBF"
              "EAN;");
    EXPECT_NE(
        bytes.find("8000000000026;2;OLIO EXTRA VERGINE;2;DROGHERIA;PZ;6,90;7,14;14,28;LT;N\r\n"),
        std::string::npos);

    // The raw CSV of the labels is unchanged: commas, decimal point, no BOM.
    auto raw = runProgram(t.root, {"labels", "--csv"});
    EXPECT_EQ(raw.out.substr(0, 12), "codart,ean,d");
}

TEST_F(CliLabels, BadOptionsAreUsageErrorsAndWriteNothing) {
    update();
    const std::vector<std::vector<std::string>> usage{
        {"labels", "--pdf", file("x.pdf"), "--copies", "0"},
        {"labels", "--pdf", file("x.pdf"), "--copies", "tre"},
        {"labels", "--pdf", file("x.pdf"), "--layout", "a5"},
        {"labels", "--pdf", file("x.pdf"), "--layout", "elenco", "--copies", "2"},
        {"labels", "--run", "1", "--articles", "2", "--pdf", file("x.pdf")},
        {"labels", "--articles", "2;3", "--pdf", file("x.pdf")},
        {"labels", "--layout", "a4-3x8"},
        {"labels", "--csv", "--xlsx", file("x.xlsx")},
        {"price-changes"},
        {"price-changes", "--run", "zero", "--csv", file("x.csv")},
        {"review", "--csv", "--xlsx", file("x.xlsx")},
    };
    for (const auto& words : usage) {
        auto r = runProgram(t.root, words);
        EXPECT_EQ(r.exitCode, 2) << words[1] << " " << r.err;
    }
    auto missing = runProgram(t.root, {"labels", "--articles", "99", "--pdf", file("x.pdf")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("L'articolo 99 non esiste nel listino."), std::string::npos);
    auto noRun = runProgram(t.root, {"price-changes", "--run", "7", "--csv", file("x.csv")});
    EXPECT_EQ(noRun.exitCode, 1);
    EXPECT_EQ(noRun.err, "Attenzione ... L'aggiornamento 7 non esiste.\n");
    auto noFolder = runProgram(t.root, {"labels", "--xlsx", file("manca/x.xlsx")});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(std::filesystem::is_empty(out.path));
}

}  // namespace
}  // namespace cl::test
