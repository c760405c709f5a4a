// The full update on articles the store already has: prices, costs, markups, barcodes.
#include "store/fixed_text.h"
#include "update_fixture.h"

namespace cl::test {
namespace {

using store::Value;

class UpdatePrices : public UpdateTest {
  protected:
    void article(long long code, double przpub, Row extra = {}) {
        extra.emplace("codart", code);
        extra.emplace("przpub", przpub);
        extra.emplace("desart", "VECCHIA");
        insert("listi01", extra);
    }
    void row(long long code, const std::string& ean, double cost, const std::string& iva,
             double price, Row extra = {}) {
        extra.emplace("codart", code);
        extra.emplace("ea1art", ean);
        extra.emplace("coston", cost);
        extra.emplace("ivart", iva);
        extra.emplace("prezpubv", price);
        extra.emplace("desart", "PASTA DI SEMOLA");
        extra.emplace("codafo", "000004711");
        variatil(extra);
    }
};

TEST_F(UpdatePrices, CostBoxComputesVatCostMarkupAndMarginFromStoredPrice) {
    settings.kcos = true;
    settings.kpre = false;
    article(5, 15);
    row(5, "8001234567890", 10, "22", 16);
    run();
    EXPECT_EQ(q("SELECT cosiva FROM listi01"), "12.2");
    EXPECT_EQ(q("SELECT ricart FROM listi01"), "22.95");
    EXPECT_EQ(q("SELECT marg FROM listi01"), "18.67");
    EXPECT_EQ(joined("SELECT cobart, cofart FROM listi01", "/"), "10/10");
    EXPECT_EQ(q("SELECT przpub FROM listi01"), "15");
}

TEST_F(UpdatePrices, CostWithTheNewPriceGivesTheMarkupAndMarginOfThatPrice) {
    // "Costo prodotto" and the price ticked, "% di Ricarica" not: the record must not keep the
    // markup of the price it no longer has (the next check reads ricart as the markup).
    settings.kcos = true;
    settings.kpre = true;
    settings.kric = false;
    article(5, 15);
    row(5, "8001234567890", 10, "22", 16);
    // Updated today and not by hand: the stored price stays, and so do its figures.
    article(6, 15);
    row(6, "8001234567906", 10, "22", 16, {{"datagg", kToday}});
    run();
    EXPECT_EQ(joined("SELECT przpub, cosiva, ricart, marg FROM listi01 WHERE codart = 5", "/"),
              "16/12.2/31.15/23.75");  // (16 - 12.2) / 12.2 and / 16
    EXPECT_EQ(joined("SELECT przpub, ricart, marg FROM listi01 WHERE codart = 6", "/"),
              "15/22.95/18.67");
}

TEST_F(UpdatePrices, DescriptionCutToTheReviewWidthKeepsTheStoresWholeOne) {
    settings.AggDes = true;
    const std::string whole = "BAGNOSCHIUMA CAMOMILLA DELICATO 250 ML";
    const std::string cut = store::fixedWidth(whole, 30);  // as the review holds it
    article(1, 3, {{"desart", whole}});
    row(1, "8000000000011", 1, "22", 3, {{"desart", cut}});
    // A store description of the same start but stored padded is not longer: written.
    article(2, 3, {{"desart", store::fixedWidth("BAGNOSCHIUMA", 50)}});
    row(2, "8000000000028", 1, "22", 3, {{"desart", store::fixedWidth("BAGNOSCHIUMA", 30)}});
    // Another description, or the same start cut elsewhere, is the central one's: written.
    article(3, 3, {{"desart", "BAGNOSCHIUMA CAMOMILLA DELICATO 500 ML"}});
    row(3, "8000000000035", 1, "22", 3, {{"desart", store::fixedWidth("BAGNOSCHIUMA ARGAN", 30)}});
    article(4, 3, {{"desart", whole}});
    row(4, "8000000000042", 1, "22", 3,
        {{"desart", store::fixedWidth("BAGNOSCHIUMA CAMOMILLA", 30)}});
    run();
    EXPECT_EQ(q("SELECT desart FROM listi01 WHERE codart = 1"), whole);
    EXPECT_EQ(q("SELECT descas FROM listi01 WHERE codart = 1"), cut);
    EXPECT_EQ(q("SELECT rtrim(desart) FROM listi01 WHERE codart = 2"), "BAGNOSCHIUMA");
    EXPECT_EQ(q("SELECT rtrim(desart) FROM listi01 WHERE codart = 3"), "BAGNOSCHIUMA ARGAN");
    EXPECT_EQ(q("SELECT rtrim(desart) FROM listi01 WHERE codart = 4"), "BAGNOSCHIUMA CAMOMILLA");
}

TEST_F(UpdatePrices, VatInclusiveCostIsRoundedOnceAndMarkupFollowsIt) {
    // 27.7025 + 22 % = 33.79705 -> 33.7970 (ties to even), not 27.7025 + 6.0946 = 33.7971;
    // the markup over it is then 0.28, not 0.27.
    settings.kcos = true;
    settings.kpre = false;
    article(7, 33.89);
    row(7, "8001234567906", 27.7025, "22", 34);
    run();
    EXPECT_EQ(q("SELECT cosiva FROM listi01"), "33.797");
    EXPECT_EQ(q("SELECT ricart FROM listi01"), "0.28");
    EXPECT_EQ(q("SELECT marg FROM listi01"), "0.27");
}

TEST_F(UpdatePrices, VatOfFiftyOrMoreUsesCostAndVatZeroLeavesMarkupAndGivesFullMargin) {
    settings.kcos = true;
    settings.kpre = false;
    article(1, 20);
    article(2, 20, {{"ricart", 33.0}});
    row(1, "8000000000011", 10, "55", 20);
    row(2, "8000000000028", 10, "0", 20);
    run();
    EXPECT_EQ(q("SELECT cosiva FROM listi01 WHERE codart=1"), "10");
    EXPECT_EQ(q("SELECT ricart FROM listi01 WHERE codart=1"), "100");
    EXPECT_EQ(q("SELECT cosiva FROM listi01 WHERE codart=2"), "0");
    EXPECT_EQ(q("SELECT ricart FROM listi01 WHERE codart=2"), "33");
    EXPECT_EQ(q("SELECT marg FROM listi01 WHERE codart=2"), "100");
}

TEST_F(UpdatePrices, PriceUpdatedTodayIsKeptUnlessEditedByHandAndBarcodesFollow) {
    article(1, 2.5);
    article(2, 2.5);
    insert("codean", {{"eanare", "8000000000011"},
                      {"codare", 1},
                      {"aggi", "A"},
                      {"pezzix", 0},
                      {"prezzo", 2.5}});
    insert("codean", {{"eanare", "8000000000028"},
                      {"codare", 2},
                      {"aggi", "A"},
                      {"pezzix", 6},
                      {"prezzo", 2.5}});
    insert("codean", {{"eanare", "8000000000035"}, {"codare", 2}, {"aggi", " "}, {"prezzo", 2.5}});
    row(1, "8000000000011", 1, "10", 2.99, {{"datagg", kToday}});
    row(2, "8000000000028", 1, "10", 2.99, {{"datagg", kToday}, {"modificatoamano", "1"}});
    auto r = run();
    EXPECT_EQ(r.aggiornati, 2);
    EXPECT_EQ(q("SELECT przpub FROM listi01 WHERE codart=1"), "2.5");
    EXPECT_EQ(joined("SELECT prezzo, pezzix FROM codean WHERE codare=1", "/"), "2.5/1");
    EXPECT_EQ(q("SELECT przpub FROM listi01 WHERE codart=2"), "2.99");
    EXPECT_EQ(joined("SELECT prezzo, prezzox, flagean, neti FROM codean "
                     "WHERE eanare='8000000000028'",
                     "/"),
              "2.99/17.94/S/1");
    // A barcode whose price does not follow the article keeps it.
    EXPECT_EQ(q("SELECT prezzo FROM codean WHERE eanare='8000000000035'"), "2.5");
    EXPECT_EQ(q("SELECT datagg FROM listi01 WHERE codart=1"), kToday);
}

TEST_F(UpdatePrices, NoEanSkipsBarcodesAndWritesSupplierListRow) {
    article(9, 3);
    row(9, "0000000000000", 1.5, "4", 3.2);
    run();
    EXPECT_EQ(q("SELECT count(*) FROM codean"), "0");
    EXPECT_EQ(joined("SELECT codart, codlis, cobart, trim(codafo), codfor FROM listi02", "/"),
              "9/000012/1.5/000004711/12");
    EXPECT_EQ(q("SELECT dsclistino FROM listi02"), std::string("ROSSI SPA") + std::string(36, ' '));
}

TEST_F(UpdatePrices, NewEanAddsBarcodeAtStoredPriceAndSkipsSupplierList) {
    settings.kpre = false;  // the barcode gets the article's price as stored
    article(9, 3.4);
    row(9, "8009999999999", 1.5, "4", 3.2, {{"codafo", "000000077"}});
    run();
    EXPECT_EQ(joined("SELECT codare, prezzo, prezzox, aggi, pezzix, neti, "
                     "primasecon, flagean, trim(codafo) FROM codean",
                     "/"),
              "9/3.4/3.4/A/1/1/P/S/000000077");
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "0");
}

TEST_F(UpdatePrices, NewEanTakesThePriceThisRowWrote) {
    article(9, 3.4);
    row(9, "8009999999999", 1.5, "4", 3.2);
    run();
    EXPECT_EQ(q("SELECT prezzo FROM codean"), "3.2");
}

TEST_F(UpdatePrices, ZeroPriceRowIsNotWrittenNorCountedButIsConsumed) {
    article(9, 3.4);
    row(9, "8009999999999", 1.5, "4", 0);
    row(9, "8009999999999", 1.5, "4", -1);
    auto r = run();
    EXPECT_EQ(r.aggiornati, 0);
    EXPECT_EQ(
        joined("SELECT przpub, coalesce(CAST(datagg AS text), '-') FROM listi01 ORDER BY rowid "
               "LIMIT 1",
               "/"),
        "3.4/-");
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
    EXPECT_EQ(r.rowsConsumed, 2);
}

TEST_F(UpdatePrices, BlockedGroupIsCountedShownAndLeftAlone) {
    insert("gruppi", {{"codgru", 30}, {"escgruppo", 1}});
    article(9, 3.4);
    row(9, "8009999999999", 1.5, "4", 3.9, {{"codgru", 30}});
    auto r = run();
    EXPECT_EQ(r.esclusi, 1);
    EXPECT_EQ(progress.values["cntew"], "1");
    EXPECT_EQ(progress.values["eanew"], "8009999999999");
    EXPECT_EQ(progress.values["desew"], "PASTA DI SEMOLA");
    EXPECT_EQ(q("SELECT przpub FROM listi01"), "3.4");
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
}

TEST_F(UpdatePrices, OptionalBoxesWriteDescriptionDepartmentGroupsUnitsVatAndPack) {
    settings.kric = settings.gruppiM = settings.codiceIva = settings.aimb = true;
    settings.noinvio = true;
    insert("reparti", {{"reparto", 3}, {"descrizione", "ALIMENTARI"}});
    insert("unitam", {{"coduni", "GR"}, {"fatxmul", 1000}});
    insert("sottogruppi", {{"codsot", 51}, {"descrizione", "PASTA LUNGA"}, {"codgru", 5}}, true);
    insert("gruppi", {{"codice", 5}, {"descrizione", "PASTA"}}, true);
    article(9, 3);
    insert("codean", {{"eanare", "8009999999999"}, {"codare", 9}, {"aggi", "A"}, {"pezzix", 1}});
    row(9, "8009999999999", 1.5, "4", 2,
        {{"rica", 31.5},
         {"codrep", 3},
         {"codsot", 51},
         {"codgru", 99},
         {"umart", "GR"},
         {"pezzatura", 500.0},
         {"umconf", "KG"},
         {"imbart", 12},
         {"tipart", 2},
         {"desart", std::string(40, 'D')}});
    run();
    EXPECT_EQ(q("SELECT desart FROM listi01"), std::string(40, 'D'));
    EXPECT_EQ(q("SELECT descas FROM listi01"), std::string(30, 'D'));
    EXPECT_EQ(joined("SELECT marg, ricart FROM listi01", "/"), "31.5/28.21");  // (2 - 1.56) / 1.56
    EXPECT_EQ(joined("SELECT codrep, desrep FROM listi01", "/"),
              "3/ALIMENTARI" + std::string(20, ' '));
    EXPECT_EQ(joined("SELECT codgru, rtrim(desgru), codsot, rtrim(dessot) FROM listi01", "/"),
              "5/PASTA/51/PASTA LUNGA");
    EXPECT_EQ(q("SELECT length(desgru) FROM listi01"), "30");
    EXPECT_EQ(joined("SELECT quaco, umquaco, prztot FROM listi01", "/"),
              onServerEngine() ? "500/KG/4" : "500.0/KG/4");
    EXPECT_EQ(joined("SELECT ivart, imbart, colore FROM listi01", "/"), "04/12/5");
    EXPECT_EQ(q("SELECT coalesce(flagean,'-') FROM codean"), "-");
    EXPECT_EQ(joined("SELECT codfor, length(desfor), length(codafo) FROM listi01", "/"),
              "12/45/16");
}

TEST_F(UpdatePrices, EachRowTakesItsOwnGroupDepartmentAndUnitWhateverCameBefore) {
    // Group, department and unit answers are kept for the run: rows that alternate between
    // keys, missing ones included, must each get what their own key says.
    settings.gruppiM = true;
    insert("gruppi", {{"codgru", 30}, {"escgruppo", 1}});
    insert("gruppi", {{"codgru", 31}, {"escgruppo", 0}});
    insert("reparti", {{"reparto", 3}, {"descrizione", "ALIMENTARI"}});
    insert("unitam", {{"coduni", "GR"}, {"fatxmul", 1000}});
    insert("sottogruppi", {{"codsot", 51}, {"descrizione", "PASTA LUNGA"}, {"codgru", 5}}, true);
    insert("gruppi", {{"codice", 5}, {"descrizione", "PASTA"}}, true);
    for (long long code = 1; code <= 8; ++code) {
        article(code, 3);
        const bool odd = code % 2 != 0;
        row(code, "0000000000000", 1.5, "4", 2 + static_cast<double>(code) / 100,
            {{"codgru", odd ? 30 : 31},
             {"codrep", odd ? 3 : 4},
             {"codsot", odd ? 51 : 52},
             {"umart", odd ? "GR" : "ZZ"},
             {"pezzatura", 500.0},
             {"umconf", "KG"}});
    }
    auto r = run();
    EXPECT_EQ(r.esclusi, 4);
    EXPECT_EQ(r.aggiornati, 4);
    for (long long code = 1; code <= 8; ++code) {
        const std::string where = " FROM listi01 WHERE codart = " + std::to_string(code);
        if (code % 2) {
            EXPECT_EQ(q("SELECT przpub" + where), "3") << code;
            continue;
        }
        // Department 4 and unit ZZ do not exist; sub-group 52 neither: no names, no unit price.
        EXPECT_EQ(q("SELECT coalesce(desrep, '-')" + where), "-") << code;
        EXPECT_EQ(q("SELECT codgru||'/'||trim(desgru)||'/'||codsot||'/'||trim(dessot)" + where),
                  "31//52/")
            << code;
        EXPECT_EQ(q("SELECT CASE WHEN prztot IS NULL THEN '-' ELSE 'x' END" + where), "-") << code;
    }
    // The same keys on their own rows, now existing, give their names.
    insert("reparti", {{"reparto", 4}, {"descrizione", "BEVANDE"}});
    article(20, 3);
    row(20, "0000000000000", 1.5, "4", 2.5, {{"codgru", 31}, {"codrep", 4}, {"codsot", 51}});
    run();
    EXPECT_EQ(
        q("SELECT trim(desrep)||'/'||codgru||'/'||trim(desgru) FROM listi01 WHERE codart = 20"),
        "BEVANDE/5/PASTA");
}

TEST_F(UpdatePrices, ClosingMessageComesOnceAfterTheRun) {
    article(9, 3);
    row(9, "0000000000000", 1, "4", 3.5);
    run();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Elaborazione terminata, cliccare su OK per uscire?");
    EXPECT_EQ(messages.shown[0].title, "Attenzione!");
}

TEST_F(UpdatePrices, OnlyTheSelectedRowsOfTheSupplierAreTouched) {
    article(9, 3);
    row(9, "0000000000000", 1, "4", 3.5, {{"sel", " "}});
    row(9, "0000000000000", 1, "4", 3.6, {{"codfor", 13}});
    auto r = run();
    EXPECT_EQ(r.rowsConsumed, 0);
    EXPECT_EQ(q("SELECT przpub FROM listi01"), "3");
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "2");
}

}  // namespace
}  // namespace cl::test
