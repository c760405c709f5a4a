#include <fstream>
#include <iterator>

#include "check_fixture.h"
#include "review/review_load.h"
#include "store/fixed_text.h"
#include "support/refused_write.h"

namespace cl::test {
namespace {

using check::RunOutcome;

class Elabora : public CheckFixture {};

TEST_F(Elabora, NewArticleNotInStoreNorSupplierList) {
    central(501, "ACQUA DELL'ORTO", "8001111111111", "0.20", "NULL", "'22'", "dessot='MINERALI'");
    auto r = check();
    ASSERT_EQ(r.outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(field("offerta"), "*** NUOVO ");
    EXPECT_EQ(field("codart"), "0");
    EXPECT_EQ(field("desart"), "ACQUA DELL'ORTO               ");
    EXPECT_EQ(field("umart"), "PZ");
    EXPECT_EQ(field("desfor"), "CENTRALE SRL                       ");
    EXPECT_EQ(field("percdiff"), "100");
    EXPECT_EQ(field("codafo"), "000000501");
    EXPECT_EQ(field("codfor"), "12");
    EXPECT_EQ(field("sel"), "X");
    EXPECT_EQ(field("fl1art"), " ");
    EXPECT_EQ(field("bns"), "1");
    EXPECT_EQ(field("datagg IS NULL"), "1");
    // 0.20 + 35 % = 0.27; + 22 % = 0.3294 -> 0.33.
    EXPECT_EQ(field("prezpubv"), "0.33");
    EXPECT_EQ(t.scalarFixed("SELECT artvariato FROM articolo"), "");
    EXPECT_EQ(progress.values["cntw"], "1");
    EXPECT_EQ(progress.values["bnsw"], "1");
    EXPECT_FALSE(progress.barVisible);
    EXPECT_EQ(t.session.state.tipo_filtro, 0);
    // The parameter row is saved before the run.
    EXPECT_EQ(t.scalar("SELECT cliente || '/' || tiposel FROM parametri WHERE tipo = '01L'"),
              "12/4");
}

TEST_F(Elabora, StoreArticleComparedWithItsPriceRow) {
    central(7, "PASTA", "8002222222222", "10", "NULL");
    storeArticle(70, "8002222222222", "9", "15.00", "35", "18.5");
    t.exec("UPDATE listi01 SET datagg = '2026-01-31', codrep = 3");
    auto r = check();
    ASSERT_EQ(r.outcome, RunOutcome::Done);
    EXPECT_EQ(field("codart"), "70");
    EXPECT_EQ(field("offerta"), "          ");
    // Group markup: no central group row, so the default 35: 16.47 against 15.00.
    EXPECT_EQ(field("prezpubv"), "16.47");
    EXPECT_EQ(field("prezpub"), "15");
    EXPECT_EQ(field("przvec"), "9");
    EXPECT_EQ(field("perc"), "18.5");
    EXPECT_EQ(field("datagg"), "2026-01-31");
    EXPECT_EQ(field("codrep"), "3");
    EXPECT_NEAR(std::stod(field("percdiff")), 11.1111111, 1e-6);
}

TEST_F(Elabora, RoundingFlagAndGroupMarkupCappedAt100) {
    t.session.state.fl_arrotonda = "S";
    t.execFixed("INSERT INTO sottogruppi (codsot, codgru) VALUES (4, 9)");
    t.execFixed("INSERT INTO gruppi (codice, descrizione, ricarica) VALUES (9, 'G', 150)");
    central(1, "A", "8003333333333", "10", "NULL", "'22'", "codsot=4");
    central(2, "B", "8004444444444", "10", "NULL", "'22'");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    // 10 + 100 % = 20; + 22 % = 24.40 (the cap); the row W5 writes is not rounded to 0.05.
    EXPECT_EQ(field("prezpubv", "desart LIKE 'A%'"), "24.4");
    EXPECT_EQ(field("prezpubv", "desart LIKE 'B%'"), "16.47");
}

TEST_F(Elabora, FilterExamplesOverTheStore) {
    onlyFilters(false, false, true, false);  // "Prodotti aumentati", limit 0, reference price
    central(1, "SAME", "8000000000017", "10", "15.00");
    storeArticle(1, "8000000000017", "10", "15.00");
    central(2, "NEWONE", "8000000000024", "10", "15.00");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 0);  // V = 0 is not above 0; V = 100 without "Nuovi" is never written
    EXPECT_EQ(progress.values["cntw"], "2");
    EXPECT_EQ(progress.values["bnsw"], "");
}

TEST_F(Elabora, DepartmentExcludedIsCountedButNotWritten) {
    t.exec("INSERT INTO reparti (reparto, descrizione, tx) VALUES (5, 'TABACCHI', 'N')");
    central(1, "SIGARI", "8005555555555", "4", "5");
    storeArticle(1, "8005555555555", "4", "4.5");
    t.exec("UPDATE listi01 SET codrep = 5");
    central(2, "VINO", "8006666666666", "4", "5");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(progress.values["bnsw"], "2");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(field("bns"), "2");
}

TEST_F(Elabora, NewArticleTakesTheDepartmentOfItsGroup) {
    t.exec(
        "INSERT INTO reparti (reparto, descrizione, tx) VALUES (5, 'TABACCHI', 'N'), "
        "(6, 'DROGHERIA', '')");
    t.exec(
        "INSERT INTO gruppi (codgru, dscgruppo, codrep) VALUES (9, 'SIGARI', 5), "
        "(8, 'PASTA', NULL)");
    t.execFixed("INSERT INTO sottogruppi (codsot, codgru) VALUES (1, 9), (2, 8)");
    central(1, "SIGARO NUOVO", "8000000000011", "1", "2", "'22'", "codsot=1");
    central(2, "PASTA NUOVA", "8000000000028", "1", "2", "'22'", "codsot=2");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(progress.values["bnsw"], "2");
    ASSERT_EQ(rows(), 1);
    // A group without a department gives department 2.
    EXPECT_EQ(field("codrep || '/' || desgru"), "2/PASTA                         ");
}

TEST_F(Elabora, LeadingZeroBarcodes) {
    central(1, "INTERNO", "0001234567890", "1", "2");
    central(2, "ZERI", "0000012345678", "1", "2");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(progress.values["cntw"], "1");
    EXPECT_EQ(field("ea1art"), "0000012345678");
}

TEST_F(Elabora, SupplierListFindsTheArticleByUnpaddedCode) {
    central(33, "BISCOTTI", "8007777777777", "2", "NULL");
    t.exec("INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', '000000033', 90)");
    t.exec(
        "INSERT INTO listi01 (codart, desart, umart, cofart, przpub, przsal) "
        "VALUES (90, 'BISC', 'CF', 2, 3, 2.5)");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(field("codart"), "90");
    EXPECT_EQ(field("offerta"), "OFFERTA   ");  // the offer replaces "*** NUOVO"
    EXPECT_EQ(field("prezoff"), "2.5");
    EXPECT_EQ(field("umart"), "CF");
    EXPECT_EQ(field("perc"), "0");  // no store markup
}

TEST_F(Elabora, SupplierListCodePaddedInTheStoreIsNotFound) {
    central(33, "BISCOTTI", "8007777777777", "2", "NULL");
    t.exec(
        "INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', '000000033       ', 90)");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(field("codart || offerta"), "0*** NUOVO ");
}

TEST_F(Elabora, ValuesAreNotCarriedFromOneRowToTheNext) {
    // The first article sets VAT, unit, sold and date; the second has none of them.
    central(1, "A", "8000000000011", "10", "NULL", "'22'");
    storeArticle(1, "8000000000011", "8", "12", "35", "20", "S", 9);
    t.exec("UPDATE listi01 SET datagg = '2026-02-02'");
    central(2, "B", "8000000000028", "10", "NULL", "NULL");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(field("prezpubv", "desart LIKE 'B%'"), "13.5");  // no VAT applied
    EXPECT_EQ(field("datagg IS NULL", "desart LIKE 'B%'"), "1");
    EXPECT_EQ(field("umart", "desart LIKE 'B%'"), "PZ");
    EXPECT_EQ(field("perc", "desart LIKE 'B%'"), "0");
}

TEST_F(Elabora, NoMarkedArticleChangesNothing) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    t.execFixed("INSERT INTO articolo (codart, desart, artvariato) VALUES (1, 'X', '')");
    auto before = t.dump("variatil");
    auto r = check();
    EXPECT_EQ(r.outcome, RunOutcome::NoArticles);
    EXPECT_TRUE(r.opensReview());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ATTENZIONE !!!. Non ci sono articoli da controllare  ...");
    EXPECT_EQ(messages.shown[0].icon, Icon::Information);
    EXPECT_EQ(t.dump("variatil"), before);
}

TEST_F(Elabora, UnappliedReviewIsAskedAbout) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    central(1, "NUOVA", "8000000000011", "1", "2");
    auto variatil = t.dump("variatil"), articles = t.dump("articolo", true);
    auto params = t.dump("parametri");
    // No: nothing runs, nothing is written; the review opens on the old rows.
    auto r = check();
    EXPECT_EQ(r.outcome, RunOutcome::Declined);
    EXPECT_TRUE(r.opensReview());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, Icon::Question);
    EXPECT_NE(messages.shown[0].text.find("1 articoli variati non aggiornati"), std::string::npos);
    EXPECT_EQ(t.dump("variatil"), variatil);
    EXPECT_EQ(t.dump("articolo", true), articles);
    EXPECT_EQ(t.dump("parametri"), params);
    // Yes: emptied and run.
    messages.answers.push_back(Answer::Yes);
    EXPECT_EQ(check().outcome, RunOutcome::Done);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(field("desart"), "NUOVA                         ");
}

TEST_F(Elabora, TheKeptReviewOpensOnItsRowsOfTheirSupplier) {
    t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (77, 'BIANCHI SRL')");
    t.exec(
        "INSERT INTO variatil (bns, codfor, desart) VALUES (1, 12, 'VECCHIA'), (2, 12, 'ALTRA')");
    t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 4)");
    central(1, "NUOVA", "8000000000011", "1", "2");
    // Another supplier chosen on the check screen, then No to the unapplied review.
    t.session.state.codice_fornitore = 77;
    messages.answers = {Answer::Yes};  // yes to the other supplier, no to emptying the review
    EXPECT_EQ(check().outcome, RunOutcome::Declined);
    auto db = t.session.openStore();
    auto opening = review::openReviewData(t.session, *db);
    EXPECT_EQ(opening.filter.supplier, 12);
    EXPECT_EQ(store::trimmed(t.session.state.nome_fornitore), "ROSSI SPA");
}

TEST_F(Elabora, NoSupplierRefusesWithNothingSaved) {
    t.session.state.codice_fornitore = 0;
    central(1, "A", "8000000000011", "1", "2");
    auto r = check();
    EXPECT_EQ(r.outcome, RunOutcome::NoSupplier);
    EXPECT_FALSE(r.opensReview());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ATTENZIONE !!!. Non è stato selezionato il Fornitore...");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "0");
    EXPECT_EQ(t.scalarFixed("SELECT artvariato FROM articolo"), "S");
}

void expectFailureMessage(const RecordingMessages& messages, const std::string& expectedText) {
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().icon, Icon::Critical);
    EXPECT_NE(messages.shown.back().text.find(expectedText), std::string::npos)
        << messages.shown.back().text;
}

std::string bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A failure after some rows leaves both databases as they were: the files byte for byte, and
// the tables the run writes row for row (what the server engine shows).
TEST_F(Elabora, FailureMidwayLeavesBothDatabasesByteIdentical) {
    for (int i = 1; i <= 30; ++i)
        central(i, "ART" + std::to_string(100 + i), "80000000" + std::to_string(10000 + i), "1",
                "2");
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    refuseWrites(t, "boom", "BEFORE INSERT", "variatil", "NEW.bns = 20", "guasto simulato");
    messages.answers.push_back(Answer::Yes);
    auto store = bytes(t.storeFile()), fixed = bytes(t.fixedFile());
    const auto work = t.dump("variatil"), parameters = t.dump("parametri"),
               central = t.dump("articolo", true);
    auto r = check();
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_FALSE(r.opensReview());
    expectFailureMessage(messages, "guasto simulato");
    EXPECT_FALSE(progress.barVisible);
    EXPECT_EQ(bytes(t.storeFile()), store);
    EXPECT_EQ(bytes(t.fixedFile()), fixed);
    EXPECT_EQ(t.dump("variatil"), work);
    EXPECT_EQ(t.dump("parametri"), parameters);
    EXPECT_EQ(t.dump("articolo", true), central);
    EXPECT_EQ(t.session.state.tipo_filtro, 4);
}

TEST_F(Elabora, NonNumericLimitFailsWithAClearMessage) {
    screen.perif = "5 %";
    onlyFilters(false, false, false, true);
    central(1, "A", "8000000000011", "1", "2");
    storeArticle(1, "8000000000011", "1", "3");
    auto fixed = bytes(t.fixedFile());
    const auto central = t.dump("articolo", true);
    auto r = check();
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    expectFailureMessage(messages, "% limite");
    EXPECT_EQ(bytes(t.fixedFile()), fixed);
    EXPECT_EQ(t.dump("articolo", true), central);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "0");
}

}  // namespace
}  // namespace cl::test
