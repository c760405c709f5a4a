#include "check_fixture.h"
#include "support/refused_write.h"

namespace cl::test {
namespace {

using check::RunOutcome;

class SoloDoppi : public CheckFixture {
  protected:
    SoloDoppi() { screen.sma = true; }
};

TEST_F(SoloDoppi, OnlyArticlesWithoutCentralBarcodesAreCompared) {
    central(1, "CON BARCODE", "8000000000011", "1", "2");
    central(2, "SENZA", "", "10", "NULL", "'22'", "ea1art=''");
    central(3, "", "", "10", "NULL");  // no description: passed over
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(field("offerta"), "*** NUOVO ");
    EXPECT_EQ(field("ea1art"), "             ");
    EXPECT_EQ(field("percdiff IS NULL"), "1");  // no store cost: left empty
    EXPECT_EQ(field("datagg IS NULL"), "1");
    EXPECT_EQ(progress.values["cntw"], "1");
    // Every mark is cleared, also those of the articles passed over.
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"), "0");
}

TEST_F(SoloDoppi, StoreDescriptionGroupMarkupUncappedAndNoDepartmentTest) {
    t.execFixed("INSERT INTO sottogruppi (codsot, codgru) VALUES (4, 9)");
    t.execFixed("INSERT INTO gruppi (codice, descrizione, ricarica) VALUES (9, 'G', 150)");
    t.exec("INSERT INTO reparti (reparto, descrizione, tx) VALUES (5, 'TABACCHI', 'N')");
    central(1, "CENTRALE", "", "10", "NULL", "'22'", "ea1art='8009999999999';codsot=4");
    storeArticle(40, "8009999999999", "8", "20");
    t.exec("UPDATE listi01 SET codrep = 5, ricart = NULL");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(field("desart"), "NEGOZIO 40                    ");
    // 10 + 150 % = 25; + 22 % = 30.50.
    EXPECT_EQ(field("prezpubv"), "30.5");
    EXPECT_EQ(field("percdiff"), "25");
}

TEST_F(SoloDoppi, SupplierListMatchesThePaddedCode) {
    central(33, "BISCOTTI", "", "2", "NULL");
    t.exec(
        "INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', '000000033       ', 90)");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(field("codart"), "90");
}

TEST_F(SoloDoppi, ZeroCostAndPriceWrittenWithoutTutti) {
    onlyFilters(false, true, false, false);
    central(5, "GRATIS", "", "0", "0");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 1);
}

class BarcodeCheck : public CheckFixture {
  protected:
    void centralPair(long long codart, const std::string& desart, const std::string& ean,
                     const std::string& przart, const std::string& przpub,
                     const std::string& more = "") {
        central(codart, desart, ean, przart, przpub, "'22'", more);
        t.execFixed("UPDATE articolo SET artvariato = '' WHERE codart = " + std::to_string(codart));
    }
};

TEST_F(BarcodeCheck, WorkedExampleAndWrittenFields) {
    centralPair(1, "LATTE", "8000000000011", "1", "1.49", "codrep=999;fl2art='F2'");
    storeArticle(10, "8000000000011", "0.9", "1.50", "NULL", "NULL");
    ASSERT_EQ(barcodeCheck().outcome, RunOutcome::Done);
    ASSERT_EQ(rows(), 1);
    // Empty markup: 30 %: 1.30 + 22 % = 1.586 -> 1.59; against 1.50: +6 %.
    EXPECT_EQ(field("perc"), "0");
    EXPECT_EQ(field("prezpubv"), "1.49");  // the central price, as it stands
    EXPECT_EQ(field("prezpub"), "1.5");
    EXPECT_EQ(field("codrep"), "0");
    EXPECT_EQ(field("codafo"), "000001");
    EXPECT_EQ(field("codfor"), "12");
    EXPECT_EQ(field("sel IS NULL AND percdiff IS NULL"), "1");
    EXPECT_EQ(field("fl1art || fl2art"), " F2");
    EXPECT_EQ(field("desart"), "NEGOZIO 10                    ");
    EXPECT_EQ(progress.values.count("cntw"), 0u);
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"), "0");
}

TEST_F(BarcodeCheck, FlagDuplicatesAndArticleZero) {
    onlyFilters(true, false, false, false);  // only "Tutti": everything that gets through
    centralPair(1, "A NON INVIARE", "8000000000011", "1", "2");
    storeArticle(10, "8000000000011", "1", "2", "35", "20", "N");
    centralPair(2, "B PRIMO", "8000000000028", "1", "2");
    storeArticle(20, "8000000000028", "1", "2");
    centralPair(3, "C SECONDO", "8000000000035", "1", "2");
    t.exec("INSERT INTO codean (eanare, codare, flagean) VALUES ('8000000000035', 20, 'S')");
    centralPair(4, "D SENZA ARTICOLO", "8000000000042", "1", "2");
    t.exec("INSERT INTO codean (eanare, codare, flagean) VALUES ('8000000000042', 0, 'S')");
    centralPair(5, "E NON IN NEGOZIO", "8000000000059", "1", "2");
    ASSERT_EQ(barcodeCheck().outcome, RunOutcome::Done);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(field("ea1art"), "8000000000028");
}

TEST_F(BarcodeCheck, OldCostZeroWithCostReference) {
    screen.reference = check::Reference::Cost;
    centralPair(1, "A", "8000000000011", "1", "2");
    storeArticle(10, "8000000000011", "0", "2");
    onlyFilters(false, false, true, false);
    ASSERT_EQ(barcodeCheck().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 0);
    onlyFilters(false, true, true, false);
    ASSERT_EQ(barcodeCheck().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 1);
}

TEST_F(BarcodeCheck, MissingMarginIsReportedAndPriceRowMissingUsesMarkup30) {
    centralPair(1, "A", "8000000000011", "1", "2");
    storeArticle(10, "8000000000011", "1", "2", "40", "NULL");
    centralPair(2, "B", "8000000000028", "1", "2");
    t.exec("INSERT INTO codean (eanare, codare, flagean) VALUES ('8000000000028', 77, 'S')");
    ASSERT_EQ(barcodeCheck().outcome, RunOutcome::Done);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ATTENZIONE !!!. Articolo 10 senza margine ...");
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(field("prezpub", "codart = 77"), "0");
}

TEST_F(BarcodeCheck, FailureMidwayRollsBackTheEmptiedWorkTable) {
    for (int i = 1; i <= 9; ++i) {
        std::string ean = "800000000000" + std::to_string(i);
        centralPair(i, "ART" + std::to_string(i), ean, "1", "2");
        storeArticle(10 + i, ean, "1", "2");
    }
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    refuseWrites(t, "boom", "BEFORE INSERT", "variatil", "NEW.bns = 5", "guasto simulato");
    messages.answers.push_back(Answer::Yes);
    auto before = t.dump("variatil");
    EXPECT_EQ(barcodeCheck().outcome, RunOutcome::Failed);
    EXPECT_EQ(t.dump("variatil"), before);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "0");
    EXPECT_NE(messages.shown.back().text.find("Nessuna modifica è stata salvata."),
              std::string::npos);
}

TEST_F(BarcodeCheck, EmptyWalkKeepsTheWorkTable) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    auto before = t.dump("variatil");
    EXPECT_EQ(barcodeCheck().outcome, RunOutcome::NoArticles);
    EXPECT_EQ(t.dump("variatil"), before);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BarcodeCheck, RoundingChangesOnlyTheVariation) {
    t.session.state.fl_arrotonda = "S";
    screen.perif = "0";
    onlyFilters(false, false, true, false);
    centralPair(1, "A", "8000000000011", "1", "1.59");
    // 1.59 rounds to 1.60: against 1.60 the variation is 0 and nothing is written.
    storeArticle(10, "8000000000011", "1", "1.60", "30", "20");
    ASSERT_EQ(barcodeCheck().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 0);
}

}  // namespace
}  // namespace cl::test
