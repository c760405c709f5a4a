#include "report/report_rows.h"

#include <gtest/gtest.h>

#include "app/clock.h"
#include "report/recording_printer.h"
#include "report/report_print.h"
#include "support/temp_store.h"

namespace cl::review {
namespace {

class ReportRowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        t.exec(
            "INSERT INTO listi01 (codart, umart, imbart, cofart, ivart, cosiva, ricart) VALUES "
            "(1, 'PZ', 6, 1.5, '10', 1.65, 30), (3, 'KG', NULL, 12345, '04', 12838.8, 12.5)");
        t.exec(
            "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, prezpub) VALUES "
            "(1, 'X', 1, '8001234567890', 'PANE', 12, 2.2), "
            "(2, 'X', 2, '8000000000002', 'ACQUA', 12, 0.5), "
            "(3, ' ', 3, '2000000000003', 'DELL''ORTO', 12, 0), "
            "(4, 'X', 1, '8001234567890', 'ALTRO FORNITORE', 13, 9)");
        db = t.session.openStore();
    }
    test::TempStore t;
    std::unique_ptr<store::Database> db;
};

TEST_F(ReportRowsTest, RowsOfTheViewInItsOrderWithTheirArticles) {
    ReviewFilter f;
    f.supplier = 12;
    auto rows = readReportRows(*db, f);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].descrizione, "ACQUA");
    EXPECT_FALSE(rows[0].article);
    EXPECT_EQ(rows[1].descrizione, "DELL'ORTO");
    ASSERT_TRUE(rows[1].article);
    EXPECT_EQ(rows[1].article->umart, "KG");
    EXPECT_TRUE(rows[1].article->imbart.isNull());
    EXPECT_DOUBLE_EQ(rows[1].article->cofart, 12345);
    EXPECT_EQ(rows[2].ean, "8001234567890");
    EXPECT_DOUBLE_EQ(rows[2].prezzoV, 2.2);
    EXPECT_DOUBLE_EQ(rows[2].article->cosiva, 1.65);

    f.selectedOnly = true;
    rows = readReportRows(*db, f);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].descrizione, "PANE");
}

TEST_F(ReportRowsTest, ManyRowsEachWithTheArticleOfItsOwnCode) {
    // More rows than one read of the articles takes; every third code has no article.
    std::string rows, articles;
    for (int i = 10; i < 210; ++i) {
        rows += std::string(rows.empty() ? "" : ", ") + "(" + std::to_string(i) + ", 'X', " +
                std::to_string(i) + ", '8000000000000', 'Z" + std::to_string(1000 + i) +
                "', 12, 1)";
        if (i % 3)
            articles += std::string(articles.empty() ? "" : ", ") + "(" + std::to_string(i) +
                        ", 'PZ', " + std::to_string(i) + ", 1, '22', 1, 1)";
    }
    t.exec("INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, prezpub) VALUES " +
           rows);
    t.exec("INSERT INTO listi01 (codart, umart, imbart, cofart, ivart, cosiva, ricart) VALUES " +
           articles);
    ReviewFilter f;
    f.supplier = 12;
    auto read = readReportRows(*db, f);
    ASSERT_EQ(read.size(), 203u);
    int withArticle = 0;
    for (const auto& r : read) {
        if (r.codart < 10) continue;
        EXPECT_EQ(r.descrizione, "Z" + std::to_string(1000 + r.codart));
        ASSERT_EQ(r.article.has_value(), r.codart % 3 != 0) << r.codart;
        if (r.article) {
            EXPECT_EQ(r.article->imbart.integer(), r.codart);
            ++withArticle;
        }
    }
    EXPECT_EQ(withArticle, 134);
}

TEST_F(ReportRowsTest, StampaPrintsTheViewWithTodayAndTheCompany) {
    setToday("2026-12-08");
    t.session.state.company = "SUPERMERCATO ROSSI DI MARIO ROSSI";
    ReviewFilter f;
    f.supplier = 12;
    f.search = SearchKind::Description;
    f.searchText = "'";
    test::RecordingPrinter p;
    printReviewReport(t.session, *db, f, p);
    setToday("");

    EXPECT_NE(p.find("print [08/12/2026] @8"), -1);
    EXPECT_NE(p.find("print [Societa:SUPERMERCATO ROSSI DI MAR] @10b"), -1);
    // Only DELL'ORTO: pack null prints nothing, price 0 gives margin 0.
    int at = p.find("print [2000000000003] @8");
    ASSERT_NE(at, -1);
    auto text = [&](int k) { return p.ops[at + k * 3]; };
    EXPECT_EQ(text(2), "print [KG] @8");
    EXPECT_EQ(text(3), "print [] @8");
    EXPECT_EQ(text(4), "print [12.345,00] @8");
    EXPECT_EQ(text(5), "print [04] @8");
    EXPECT_EQ(text(6), "print [12.838,80] @8");
    EXPECT_EQ(text(7), "print [12,50] @8");
    EXPECT_EQ(text(8), "print [     0,00] @8");
    EXPECT_EQ(text(9), "print [0,00] @8");
    EXPECT_EQ(p.find("print [8001234567890] @8"), -1);
}

TEST_F(ReportRowsTest, NegativeMarginWhenTheCostExceedsThePrice) {
    ReviewFilter f;
    f.supplier = 12;
    f.search = SearchKind::Code;
    f.searchText = "1";
    test::RecordingPrinter p;
    printReviewReport(t.session, *db, f, p);
    // (2.2 - 1.65) / 2.2 = 25 %; then a price below the cost gives a negative margin.
    EXPECT_NE(p.find("print [25,00] @8"), -1);
    db.reset();  // a second connection writes
    t.exec("UPDATE variatil SET prezpub = 1.5 WHERE bns = 1");
    db = t.session.openStore();
    test::RecordingPrinter q;
    printReviewReport(t.session, *db, f, q);
    EXPECT_NE(q.find("print [-10,00] @8"), -1);
}

TEST_F(ReportRowsTest, ReadingLetsAnotherConnectionWrite) {
    ReviewFilter f;
    f.supplier = 12;
    ASSERT_EQ(readReportRows(*db, f).size(), 3u);
    t.exec("UPDATE listi01 SET umart = 'CF' WHERE codart = 3");
    EXPECT_EQ(readReportRows(*db, f)[1].article->umart, "CF");
}

TEST_F(ReportRowsTest, ArticlesAreFoundByCodeWhateverTheStoresIndexes) {
    // A store converted from another source may name its article key otherwise.
    db.reset();
    t.exec("DROP INDEX \"primary\"; CREATE INDEX chiave_articolo ON listi01 (codart)");
    db = t.session.openStore();
    ReviewFilter f;
    f.supplier = 12;
    auto rows = readReportRows(*db, f);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_TRUE(rows[2].article);
    EXPECT_EQ(rows[2].article->umart, "PZ");
}

}  // namespace
}  // namespace cl::review
