// The update reads the look-ups of many review rows at once: a row must still see what the
// rows before it in the same run wrote.
#include "update_fixture.h"

namespace cl::test {
namespace {

class UpdateBlocks : public UpdateTest {
  protected:
    void row(long long code, const std::string& ean, double price,
             const std::string& codafo = "000004711", Row extra = {}) {
        extra.insert({{"codart", code},
                      {"ea1art", ean},
                      {"coston", 10},
                      {"ivart", "22"},
                      {"prezpubv", price},
                      {"desart", "PASTA DI SEMOLA"},
                      {"codafo", codafo}});
        variatil(extra);
    }
};

TEST_F(UpdateBlocks, ASecondRowOfAnArticleSeesThePriceAndRowsTheFirstOneWrote) {
    settings.kcos = true;
    insert("listi01", {{"codart", 5}, {"przpub", 15}, {"desart", "VECCHIA"}});
    row(5, "8009999999999", 16);
    // The first row added the barcode and the supplier row: the second changes them. Its own
    // price is not written (updated today, not by hand).
    row(5, "8009999999999", 20, "000004711", {{"datagg", kToday}});
    run();
    // Markup and margin of the second row are over the price the first one wrote (16), not
    // over the 15 the run began with.
    EXPECT_EQ(joined("SELECT przpub, ricart, marg FROM listi01", "/"), "16/31.15/23.75");
    EXPECT_EQ(joined("SELECT eanare, prezzo FROM codean", "/"), "8009999999999/16");
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "1");
}

TEST_F(UpdateBlocks, ANewBarcodeTakesThePriceItsRowJustWroteToTheArticle) {
    insert("listi01", {{"codart", 5}, {"przpub", 15}, {"desart", "VECCHIA"}});
    row(5, "8001111111111", 16);
    row(5, "8002222222222", 20);
    run();
    EXPECT_EQ(joined("SELECT eanare, prezzo FROM codean ORDER BY eanare", "/"),
              "8001111111111/16,8002222222222/20");
}

TEST_F(UpdateBlocks, RowsBeyondOneBlockAndNewArticlesAmongThemAreAllWritten) {
    settings.kcrea = true;
    insert("listi01", {{"codart", 100}, {"przpub", 1}});
    for (long long code = 1; code <= 70; ++code) {
        insert("listi01", {{"codart", code}, {"przpub", 1}});
        row(code, "80000000000" + std::string(code < 10 ? "0" : "") + std::to_string(code), 2,
            "1000" + std::to_string(code));
    }
    // Two new products, numbered after the highest code, one after the other.
    row(0, "8011111111111", 3, "2001");
    row(0, "8022222222222", 3, "2002");
    auto result = run();
    EXPECT_EQ(result.aggiornati, 70);
    EXPECT_EQ(result.creati, 2);
    EXPECT_EQ(q("SELECT count(*) FROM listi01 WHERE przpub = 2"), "70");
    EXPECT_EQ(joined("SELECT codart FROM listi01 WHERE przpub = 3 ORDER BY codart"), "101,102");
    EXPECT_EQ(joined("SELECT codare FROM codean WHERE eanare IN ('8011111111111', "
                     "'8022222222222') ORDER BY eanare"),
              "101,102");
}

TEST_F(UpdateBlocks, SupplierCodesStoredWithBlanksOrInAnotherCaseAreFoundNotAddedAgain) {
    insert("listi01", {{"codart", 5}, {"przpub", 1}});
    insert("listi01", {{"codart", 6}, {"przpub", 1}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "   4711"}, {"codart", 5}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "ab12      "}, {"codart", 6}});
    row(5, "", 2, "4711");
    row(6, "", 2, "AB12");
    run();
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "2");
    EXPECT_EQ(joined("SELECT codart, cobart FROM listi02 ORDER BY codart", "/"), "5/10,6/10");
}

TEST_F(UpdateBlocks, SupplierCodesStoredBareOrPaddedAreFoundByEitherForm) {
    // Every code of the list in a form the store writes: the look-ups take the short way.
    for (long long code : {5, 6, 8}) insert("listi01", {{"codart", code}, {"przpub", 1}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "4711"}, {"codart", 5}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "ab12            "}, {"codart", 6}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "Q1              "}, {"codart", 8}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "Q1              "}, {"codart", 8}});
    row(5, "", 2, "4711");
    row(6, "", 2, "AB12");
    row(8, "", 2, "q1");
    run();
    // Found, not added; of the two rows of one code the older one is written.
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "4");
    EXPECT_EQ(joined("SELECT codart, coalesce(cobart, 0) FROM listi02 ORDER BY " +
                         ts.openStoreDb()->rowIdentity(),
                     "/"),
              "5/10,6/10,8/10,8/0");
}

TEST_F(UpdateBlocks, ASupplierRowWrittenInALargerFormGivesWayToTheNextOfItsCode) {
    insert("listi01", {{"codart", 5}, {"przpub", 1}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "4711"}, {"codart", 5}});
    insert("listi02", {{"codlis", "000012"}, {"codafo", "4711 "}, {"codart", 5}});
    // The first row finds "4711" and writes it with six blanks: "4711 " now comes first, and
    // the second row writes that one.
    row(5, "", 2, "4711      ");
    variatil({{"codart", 5},
              {"ea1art", ""},
              {"coston", 20},
              {"ivart", "22"},
              {"prezpubv", 3},
              {"desart", "PASTA DI SEMOLA"},
              {"codafo", "4711      "}});
    run();
    EXPECT_EQ(
        joined("SELECT codafo, cobart FROM listi02 ORDER BY " + ts.openStoreDb()->rowIdentity(),
               "/"),
        "4711      /10,4711      /20");
}

TEST_F(UpdateBlocks, NewArticlesAreNumberedAfterTheHighestCodeTheRunItselfWrote) {
    settings.kcrea = true;
    insert("listi01", {{"codart", 100}, {"przpub", 1}});
    row(0, "8011111111111", 3, "2001");
    // A code without an article record is created under that code...
    row(500, "8022222222222", 3, "2002");
    // ...and the next new product comes after it.
    row(0, "8033333333333", 3, "2003");
    run();
    EXPECT_EQ(joined("SELECT codart FROM listi01 ORDER BY codart"), "100,101,500,501");
}

}  // namespace
}  // namespace cl::test
