// New articles: from the first pass (creo_art_nuovo) and from the supplier-list pass.
#include "support/test_engine.h"
#include "update_fixture.h"

namespace cl::test {
namespace {

class CreoArt : public UpdateTest {
  protected:
    void SetUp() override {
        UpdateTest::SetUp();
        settings.umeum = false;
    }
    void nuovo(const std::string& ean, Row extra = {}) {
        extra.emplace("codart", 0);
        extra.emplace("ea1art", ean);
        extra.emplace("desart", "BISCOTTI FROLLINI");
        extra.emplace("codafo", "12345");
        extra.emplace("coston", 1.6);
        extra.emplace("ivart", "4");
        extra.emplace("umart", "CT");
        extra.emplace("prezpubv", 2.0);
        extra.emplace("prezpub", 1.8);
        extra.emplace("rica", 20.19);
        variatil(extra);
    }
};

TEST_F(CreoArt, EmptyStoreGetsCodeOneWithEveryFieldOfTheNewRecord) {
    // Files carry the factor as the text a delivery wrote; a server's number column cannot.
    insert("unitam",
           {{"coduni", "CT"},
            {"fatxmul", onServerEngine() ? store::Value(1000.0) : store::Value("1000 g")}});
    insert("reparti", {{"reparto", 0}, {"descrizione", "SENZA REPARTO"}});
    nuovo("8001111111111", {{"pezzatura", 500.0},
                            {"umconf", "GR"},
                            {"codrep", -4},
                            {"imbart", 6},
                            {"desgru", "DOLCI"},
                            {"dessot", "BISCOTTI"},
                            {"codgru", 7},
                            {"codsot", 71}});
    auto r = run();
    EXPECT_EQ(r.creati, 1);
    EXPECT_EQ(progress.values["cntcw"], "1");
    EXPECT_EQ(progress.values["codarw"], "1");
    EXPECT_EQ(progress.values["descw"], "BISCOTTI FROLLINI");
    const std::string codafo = "000012345" + std::string(7, ' ');
    EXPECT_EQ(joined("SELECT codart, desart, umart, imbart, ivart, codafo FROM "
                     "listi01"),
              "1|BISCOTTI FROLLINI|PZ|6|04|" + codafo);
    EXPECT_EQ(joined("SELECT codfor, length(desfor), desgru, dessot, codgru, codsot "
                     "FROM listi01"),
              "12|45|DOLCI|BISCOTTI|7|71");
    EXPECT_EQ(joined("SELECT datreg, datagg, annoco, tipart, fl1art, fl2art||'|' "
                     "FROM listi01"),
              "2026-12-08|2026-12-08|2026|1|0| |");
    EXPECT_EQ(joined("SELECT "
                     "przart, przpub, cobart, cofart, ricart, quaco, umquaco "
                     "FROM listi01"),
              onServerEngine() ? "2|2|1.6|1.6|20.19|500|GR" : "2|2|1.6|1.6|20.19|500.0|GR");
    EXPECT_EQ(joined("SELECT prztot, marg, colore FROM listi01"),
              "4|20.19|1");  // (2-1.664)/1.664
    EXPECT_EQ(joined("SELECT codrep, desrep FROM listi01"),
              "0|SENZA REPARTO" + std::string(17, ' '));
    EXPECT_EQ(
        q("SELECT qinv+qacq+qres+qven+qgia+cosmp+scopro+przpro+scosal+valgia+q1+sq1+q2+sq2+scomi "
          "FROM listi01"),
        "0");
    EXPECT_EQ(joined("SELECT codart, codlis, ivart, umart, codafo, datval FROM "
                     "listi02"),
              "1|000012|4|PZ|" + codafo + "|2026-12-08");
    EXPECT_EQ(joined("SELECT codlis, dsclistino, datval FROM fistini"),
              "000012|ROSSI SPA" + std::string(11, ' ') + "|2026-12-08");
    EXPECT_EQ(joined("SELECT "
                     "codare, desart, length(desfor), aggi, pezzix, prezzo, "
                     "prezzox, neti, colare, primasecon, flagean FROM codean"),
              "1|BISCOTTI FROLLINI|35|A|1|2|2|1|1|P|S");
}

TEST_F(CreoArt, BarcodeBeginningWithTwoAndTypeTwoGiveColourFive) {
    insert("listi01", {{"codart", 40}});
    nuovo("2001111111111");
    nuovo("8001111111111", {{"tipart", 2}, {"codafo", "222"}});
    run();
    EXPECT_EQ(q("SELECT colore FROM listi01 WHERE codart=41"), "5");
    EXPECT_EQ(q("SELECT colare FROM codean WHERE codare=41"), "5");
    EXPECT_EQ(q("SELECT colore FROM listi01 WHERE codart=42"), "5");
    EXPECT_EQ(q("SELECT colare FROM codean WHERE codare=42"), "1");
}

TEST_F(CreoArt, ProductWithoutBarcodeIsListedAndAnnouncedOnce) {
    nuovo("0000000000000", {{"desart", "PANE"}});
    nuovo("", {{"desart", "FOCACCIA"}, {"codafo", "999"}});  // a blank barcode counts as none
    auto r = run();
    ASSERT_EQ(r.noBarcodeLines.size(), 2u);
    EXPECT_EQ(r.noBarcodeLines[1], "Creato Codice : 2   PANE  ****NO CODICE EAN");
    EXPECT_EQ(q("SELECT count(*) FROM codean"), "0");
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "2");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, review::kNoBarcodeMessage);
    EXPECT_EQ(messages.shown[0].icon, Icon::Information);
    EXPECT_EQ(messages.shown[1].text, review::kUpdateDoneMessage);
}

TEST_F(CreoArt, CodeLinkedBySupplierListIsTakenOverWithoutSecondListRow) {
    insert("listi02", {{"codlis", "000012"}, {"codafo", "000012345       "}, {"codart", 77}});
    insert("listi01", {{"codart", 90}});
    settings.kcrea = true;
    nuovo("8001111111111");
    auto r = run();
    // The row's code "12345" is not the list's "000012345": creation finds 77 by the nine digits.
    EXPECT_EQ(r.creati, 1);
    EXPECT_EQ(q("SELECT count(*) FROM listi01 WHERE codart=77"), "1");
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "1");
    EXPECT_EQ(q("SELECT codare FROM codean"), "77");
}

TEST_F(CreoArt, AlphanumericSupplierCodeIsKeptOnTheNewArticle) {
    settings.kcrea = true;
    nuovo("8001111111111", {{"codafo", "AB-100"}});
    EXPECT_EQ(run().creati, 1);
    const std::string kept = "AB-100" + std::string(10, ' ');
    EXPECT_EQ(q("SELECT codafo FROM listi02"), kept);
    EXPECT_EQ(q("SELECT codafo FROM listi01"), kept);
}

// A row the supplier list links to an article already in the store creates nothing: neither
// counted nor announced as "Creato Codice".
TEST_F(CreoArt, LinkedExistingArticleIsNeitherCountedNorAnnounced) {
    insert("listi02", {{"codlis", "000012"}, {"codafo", "000012345       "}, {"codart", 77}});
    insert("listi01", {{"codart", 77}});
    settings.kcrea = true;
    nuovo("", {{"desart", "PANE"}});
    auto r = run();
    EXPECT_EQ(r.creati, 0);
    EXPECT_TRUE(r.noBarcodeLines.empty());
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "1");
}

TEST_F(CreoArt, ExistingBarcodeKeepsItsArticleAndGetsThePreviousPrice) {
    insert("codean", {{"eanare", "8001111111111"}, {"codare", 12}, {"pezzix", 3}, {"prezzo", 1}});
    nuovo("8001111111111");
    run();
    EXPECT_EQ(joined("SELECT codare, trim(codafo), prezzo, prezzox FROM codean"),
              "12|000012345|1.8|5.4");
}

TEST_F(CreoArt, BlankSupplierCodeNeverTiesTwoProductsTogether) {
    nuovo("8001111111111", {{"codafo", "ABC"}, {"desart", "PRIMO"}});
    nuovo("8002222222222", {{"codafo", "XYZ"}, {"desart", "SECONDO"}});
    run();
    EXPECT_EQ(joined("SELECT codart, desart FROM listi01 ORDER BY rowid", "="),
              "1=PRIMO,2=SECONDO");
    EXPECT_EQ(joined("SELECT codare FROM codean ORDER BY rowid"), "1,2");
}

TEST_F(CreoArt, CodeZeroIsRefusedWithTheMessageAndNoArticle) {
    insert("listi01", {{"codart", -1}});
    nuovo("8001111111111");
    run();
    EXPECT_EQ(messages.shown[0].text, "Attenzione....., codice articolo =0");
    EXPECT_EQ(messages.shown[0].icon, Icon::Critical);
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "1");
    EXPECT_EQ(q("SELECT count(*) FROM codean"), "0");
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "1");  // written before the code is checked
}

TEST_F(CreoArt, ArticleCodeWithoutRecordIsCreatedUnderThatCode) {
    nuovo("8001111111111", {{"codart", 1234}, {"codafo", "000012345"}});
    auto r = run();
    EXPECT_EQ(r.aggiornati, 1);
    EXPECT_EQ(joined("SELECT codart FROM listi01 ORDER BY rowid"), "1234");
}

TEST_F(CreoArt, ArticleCreatedByTheFirstPassIsNotCreatedAgainByTheSecond) {
    // The letters give a blank supplier code on the new record, which the second pass's
    // look-up by the row's code would not find.
    nuovo("8001111111111", {{"codart", 1234}, {"codafo", "AB12"}});
    run();
    EXPECT_EQ(joined("SELECT codart FROM listi01 ORDER BY rowid"), "1234");
    EXPECT_EQ(joined("SELECT codare FROM codean ORDER BY rowid"), "1234");
}

// ---- the supplier-list pass ----

TEST_F(CreoArt, SupplierPassCreatesNextCodeAndLeavesListLinkedToOldCode) {
    insert("listi02", {{"codlis", "000012"}, {"codafo", "000012345       "}, {"codart", 77}});
    insert("listi01", {{"codart", 77}, {"codafo", "000099999"}, {"przpub", 1.8}});
    insert("listi01", {{"codart", 80}});
    insert("codean",
           {{"eanare", "8001111111111"}, {"codare", 12}, {"pezzix", 4}, {"desart", "OLD"}});
    // A zero price: the first pass passes over it, the second still looks at it.
    nuovo("8001111111111", {{"codart", 77}, {"codafo", "000012345"}, {"prezpubv", 0.0}});
    run();
    EXPECT_EQ(joined("SELECT codart FROM listi01 ORDER BY rowid"), "77,80,81");
    EXPECT_EQ(q("SELECT codart FROM listi02"), "77");
    EXPECT_EQ(joined("SELECT codare, desart, trim(codafo), prezzo, prezzox, flagean "
                     "FROM codean"),
              "81|BISCOTTI FROLLINI|000012345|0|0|S");
    EXPECT_EQ(q("SELECT colore FROM listi01 WHERE codart=81"), "1");
}

TEST_F(CreoArt, FirstPassWritesTheSupplierCodeSoTheSecondCreatesNothing) {
    insert("listi01", {{"codart", 77}, {"codafo", "000099999"}, {"przpub", 1.8}});
    insert("codean", {{"eanare", "2001111111111"}, {"codare", 12}, {"pezzix", 4}, {"aggi", " "}});
    settings.kpre = false;
    nuovo("2001111111111", {{"codart", 77}, {"codafo", "000012345"}, {"prezpubv", 2.5}});
    run();
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "1");
    EXPECT_EQ(q("SELECT trim(codafo) FROM listi01"), "000012345");
}

TEST_F(CreoArt, SupplierPassMovesBarcodeWithNewPriceTimesItsPieces) {
    insert("listi01", {{"codart", 77}, {"codafo", "000099999"}, {"przpub", 1.8}});
    insert("codean", {{"eanare", "2001111111111"}, {"codare", 12}, {"pezzix", 4}, {"colare", 3}});
    settings.kpre = false;
    nuovo("2001111111111", {{"codart", 77}, {"codafo", "000012345"}, {"prezpubv", -2.5}});
    run();
    EXPECT_EQ(joined("SELECT codare, prezzo, prezzox, colare FROM codean"), "78|-2.5|-10|3");
    EXPECT_EQ(q("SELECT colore FROM listi01 WHERE codart=78"), "1");  // a leading 2 plays no part
}

TEST_F(CreoArt, SupplierPassNeedsTheSupplierCodeBox) {
    insert("listi01", {{"codart", 77}, {"codafo", "000099999"}});
    settings.aggcodafo = false;
    nuovo("8001111111111", {{"codart", 77}, {"prezpubv", 0.0}});
    run();
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "1");
}

}  // namespace
}  // namespace cl::test
