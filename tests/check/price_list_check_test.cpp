#include "check/elabora_listino.h"
#include "check_fixture.h"
#include "pricelist/price_list.h"

namespace cl::test {
namespace {

using check::RunOutcome;
using pricelist::PriceList;
using pricelist::PriceListRow;

class PriceListCheck : public CheckFixture {
  protected:
    PriceListCheck() { t.session.state.nome_fornitore = "ROSSI SPA"; }
    check::RunReport checkFile(const PriceList& l) {
        return check::checkPriceList(t.session, screen, l, messages, progress);
    }
    static PriceListRow row(const std::string& ean, const std::string& code,
                            const std::string& desc, double cost, std::optional<double> price,
                            std::optional<std::string> vat = "22") {
        PriceListRow r;
        r.ean = ean, r.code = code, r.description = desc, r.cost = cost, r.price = price;
        r.vat = vat;
        r.unit = "PZ";
        return r;
    }
    // The work table, every field the review, the update and the report read.
    std::string variatil() { return t.dump("variatil"); }
};

// The same articles, once marked in the central database and once as the supplier's file,
// give the same rows; only what the file has not (the central article code, its supplier
// description for a new article) differs.
TEST_F(PriceListCheck, SameRowsAsTheMarkedCentralArticles) {
    t.exec(
        "INSERT INTO reparti (reparto, descrizione, tx) VALUES (3, 'PASTA', ''), "
        "(5, 'TABACCHI', 'N')");
    storeArticle(70, "8002222222222", "9", "15.00", "35", "18.5");
    t.exec("UPDATE listi01 SET datagg = '2026-01-31', codrep = 3 WHERE codart = 70");
    storeArticle(71, "8003333333333", "4", "5.00");
    t.exec("UPDATE listi01 SET przsal = 4.5 WHERE codart = 71");
    storeArticle(72, "8005555555555", "4", "4.5");
    t.exec("UPDATE listi01 SET codrep = 5 WHERE codart = 72");
    t.exec("INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', '000000033', 90)");
    t.exec(
        "INSERT INTO listi01 (codart, desart, umart, cofart, przpub, ricart, marg, przsal) "
        "VALUES (90, 'BISC', 'CF', 2, 3, NULL, NULL, 0)");
    central(1, "ACQUA NUOVA", "8001111111111", "0.20", "NULL", "'22'");
    central(33, "BISCOTTI", "8007777777777", "2", "NULL", "'10'");
    central(2, "OLIO", "8003333333333", "4.4", "5.49", "'22'");
    central(3, "PASTA", "8002222222222", "10", "NULL", "'4'");
    central(4, "SIGARI", "8005555555555", "4", "5");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    const std::string fromCentral = variatil();
    const std::string cntw = progress.values["cntw"], bnsw = progress.values["bnsw"];

    PriceList l;
    l.rows = {row("8001111111111", "A-1", "ACQUA NUOVA", 0.20, std::nullopt),
              row("8007777777777", "000000033", "BISCOTTI", 2, std::nullopt, "10"),
              row("8003333333333", "O-2", "OLIO", 4.4, 5.49),
              row("8002222222222", "P-3", "PASTA", 10, std::nullopt, "4"),
              row("8005555555555", "S-4", "SIGARI", 4, 5)};
    messages.answers.push_back(Answer::Yes);  // the review of the central check is not applied
    ASSERT_EQ(checkFile(l).outcome, RunOutcome::Done);
    EXPECT_EQ(progress.values["cntw"], cntw);
    EXPECT_EQ(progress.values["bnsw"], bnsw);
    ASSERT_EQ(rows(), 4);
    // What the file lacks: the central code in codafo, the central supplier of a new article.
    EXPECT_EQ(field("codafo", "bns = 1"), "A-1");
    EXPECT_EQ(field("codafo", "bns = 2"), "000000033");
    EXPECT_EQ(field("desfor", "bns = 1"), "ROSSI SPA                          ");
    t.exec(
        "UPDATE variatil SET codafo = CASE bns WHEN 1 THEN '000000001' WHEN 2 THEN '000000033' "
        "WHEN 3 THEN '000000002' WHEN 4 THEN '000000003' END, "
        "desfor = CASE bns WHEN 1 THEN 'CENTRALE SRL                       ' ELSE desfor END");
    EXPECT_EQ(variatil(), fromCentral);
}

TEST_F(PriceListCheck, NothingMarkedOrClearedAndQuestionAsForACheck) {
    central(1, "MARCATO", "8001111111111", "1", "2");
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    const auto before = t.dump("variatil"), central = t.dump("articolo", true);
    PriceList l;
    l.rows = {row("8009999999999", "X", "DAL FILE", 1, std::nullopt)};
    EXPECT_EQ(checkFile(l).outcome, RunOutcome::Declined);
    EXPECT_EQ(t.dump("variatil"), before);
    messages.answers.push_back(Answer::Yes);
    auto r = checkFile(l);
    ASSERT_EQ(r.outcome, RunOutcome::Done);
    EXPECT_EQ(r.counts.written, 1);
    EXPECT_EQ(field("desart"), "DAL FILE                      ");
    EXPECT_EQ(t.dump("articolo", true), central);
    EXPECT_EQ(t.scalar("SELECT cliente FROM parametri WHERE tipo = '01L'"), "12");
}

TEST_F(PriceListCheck, SupplierListByTheCodeAsWrittenOrAsTheStorePadsIt) {
    t.exec(
        "INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', 'R-7             ', "
        "90),"
        " ('000012', '', 91), ('000099', 'Z-1', 92)");
    PriceList l;
    l.rows = {row("", "R-7", "PADDED", 1, std::nullopt),             // found padded
              row("8009999999999", "", "NO CODE", 1, std::nullopt),  // '' names nothing
              row("", "Z-1", "OTHER SUPPLIER", 1, std::nullopt),
              row("", "R7", "OTHER SPELLING", 1, std::nullopt)};
    ASSERT_EQ(checkFile(l).outcome, RunOutcome::Done);
    EXPECT_EQ(field("codart", "desart LIKE 'PADDED%'"), "90");
    EXPECT_EQ(field("codart", "desart LIKE 'NO CODE%'"), "0");
    EXPECT_EQ(field("codart", "desart LIKE 'OTHER SUPPLIER%'"), "0");
    EXPECT_EQ(field("codart || codafo", "desart LIKE 'OTHER SPELLING%'"), "0R7");
    EXPECT_EQ(field("ea1art", "desart LIKE 'PADDED%'"), "             ");
}

TEST_F(PriceListCheck, EmptyListIsNothingToCheck) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    auto before = t.dump("variatil");
    EXPECT_EQ(checkFile(PriceList{}).outcome, RunOutcome::NoArticles);
    EXPECT_EQ(messages.shown.back().text, check::kNoArticles);
    EXPECT_EQ(t.dump("variatil"), before);
    t.session.state.codice_fornitore = 0;
    EXPECT_EQ(checkFile(PriceList{}).outcome, RunOutcome::NoSupplier);
}

TEST_F(PriceListCheck, FailureMidwayWritesNothing) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    auto before = t.dump("variatil"), params = t.dump("parametri");
    screen.perif = "abc";  // fails the run when a rule reads it as a locale number
    onlyFilters(false, false, false, true);
    storeArticle(1, "8001111111111", "10", "15");
    PriceList l;
    l.rows = {row("8001111111111", "A", "ONE", 5, std::nullopt),
              row("8002222222222", "B", "TWO", 5, std::nullopt)};
    messages.answers.push_back(Answer::Yes);
    EXPECT_EQ(checkFile(l).outcome, RunOutcome::Failed);
    EXPECT_EQ(t.dump("variatil"), before);
    EXPECT_EQ(t.dump("parametri"), params);
}

// A row without a VAT rate is priced with the store article's own; a new article without
// one cannot be priced, and is listed with its line.
TEST_F(PriceListCheck, NoVatTakesTheStoreRateANewArticleWithoutOneIsListed) {
    storeArticle(70, "8002222222222", "9", "15.00");
    t.exec("UPDATE listi01 SET ivart = '4' WHERE codart = 70");
    auto known = row("8002222222222", "P-1", "PASTA", 10, std::nullopt, std::nullopt);
    known.line = 2;
    auto added = row("8004444444444", "N-1", "NUOVO", 10, std::nullopt, std::nullopt);
    added.line = 3;
    PriceList l;
    l.rows = {known, added};
    auto r = checkFile(l);
    ASSERT_EQ(r.outcome, RunOutcome::Done);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(field("ivart"), "4 ");
    // 10 marked up by 35 % with 4 % VAT: 14.04, not the 13.50 of no VAT.
    EXPECT_EQ(field("prezpubv"), "14.04");
    ASSERT_EQ(r.leftOut.size(), 1u);
    EXPECT_EQ(pricelist::problemLine(r.leftOut[0]),
              "Riga 3: manca l'aliquota IVA di un articolo nuovo (non controllata)");
}

// A code a spreadsheet wrote without its leading zeros is the one stored code it can be; with
// two it could be, the row is listed rather than matched.
TEST_F(PriceListCheck, CodeWithoutLeadingZerosMatchesTheOnlyStoredCodeItCanBe) {
    storeArticle(70, "8002222222222", "9", "15.00");
    storeArticle(71, "8003333333333", "9", "15.00");
    storeArticle(72, "8005555555555", "9", "15.00");
    t.exec(
        "INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000012', '000123', 70), "
        "('000012', '0456', 71), ('000012', '00456', 72)");
    auto one = row("", "123", "PASTA", 10, std::nullopt);
    one.line = 2;
    auto two = row("", "456", "OLIO", 10, std::nullopt);
    two.line = 3;
    PriceList l;
    l.rows = {one, two};
    auto r = checkFile(l);
    ASSERT_EQ(r.outcome, RunOutcome::Done);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(field("codart"), "70");
    EXPECT_EQ(field("codafo"), "000123");  // as the list stores it
    ASSERT_EQ(r.leftOut.size(), 1u);
    EXPECT_EQ(pricelist::problemLine(r.leftOut[0]),
              "Riga 3: codice «456» senza gli zeri iniziali: può essere «0456» o «00456» (non "
              "controllata)");
}

}  // namespace
}  // namespace cl::test
