#include <gtest/gtest.h>

#include "app/price_rounding.h"
#include "review/recalc.h"
#include "review_fixture.h"
#include "store/error.h"
#include "support/refused_write.h"

namespace cl::review {
namespace {

using test::VariatilRow;

class Commands : public ReviewFixture, public ::testing::Test {
  protected:
    std::string price(long long bns) {
        return store.scalar("SELECT prezpubv FROM variatil WHERE bns = " + std::to_string(bns));
    }
};

TEST_F(Commands, SelectAllAndNoneWorkOnTheViewAndRebuildIt) {
    add({.bns = 1, .sel = ""});
    add({.bns = 2, .sel = ""});
    add({.bns = 3, .codfor = 99, .sel = ""});
    open();
    EXPECT_EQ(review->selectAllRows(), 2);
    EXPECT_EQ(column("sel"), "X|X||");
    EXPECT_TRUE(review->state().base().selectedOnly);
    EXPECT_EQ(review->deselectAllRows(), 2);
    EXPECT_EQ(column("sel"), "|||");
    EXPECT_FALSE(review->state().base().selectedOnly);
    EXPECT_EQ(review->rows().count(), 2u);
}

TEST_F(Commands, PriceBasedSelections) {
    add({.bns = 1, .sel = "", .prezpub = "10", .prezpubv = "11"});                   // up
    add({.bns = 2, .sel = "X", .prezpub = "10", .prezpubv = "9"});                   // down
    add({.bns = 3, .sel = "X", .prezpub = "10", .prezpubv = "10", .variati = "V"});  // equal
    add({.bns = 4, .sel = "X", .prezpub = "NULL", .prezpubv = "3"});                 // new
    open();
    EXPECT_EQ(review->selectRaisedPrices(), 4);
    EXPECT_EQ(column("sel"), "X|||X|");
    EXPECT_EQ(column("variati"), "V||V|V|");  // equal price: variati untouched
    EXPECT_EQ(review->rows().count(), 3u);    // the variation filter joins the base
    EXPECT_TRUE(review->state().variationFilter());

    review->deselectAllRows();  // keeps the variation filter
    EXPECT_TRUE(review->state().base().changedOnly);
    EXPECT_EQ(review->selectChangedPrices(), 3);
    EXPECT_EQ(column("sel"), "X|||X|");  // row 2 is outside the view now
}

TEST_F(Commands, EliminaDatiAsksWithDefaultNo) {
    add({.bns = 1});
    add({.bns = 2, .codfor = 99});
    open();
    std::string before = store.dump("variatil");
    EXPECT_FALSE(review->deleteShownRows());
    EXPECT_EQ(store.dump("variatil"), before);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Attenzione  !!  Sei sicuro di voler Eliminare i prodotti importati ?");
    EXPECT_EQ(messages.shown[0].title, "Elimina prodotti importati");
    EXPECT_EQ(messages.shown[0].icon, Icon::Question);

    messages.answers.push_back(Answer::Yes);
    EXPECT_TRUE(review->deleteShownRows());
    EXPECT_EQ(column("bns"), "2|");
}

TEST(PriceRounding, TableOfFiveCents) {
    auto r = [](const char* p) { return roundPrice(Money::fromDouble(std::stod(p))).plain(); };
    EXPECT_EQ(r("2.47"), "2.45");
    EXPECT_EQ(r("2.48"), "2.5");
    EXPECT_EQ(r("2.43"), "2.45");
    EXPECT_EQ(r("2.42"), "2.4");
    EXPECT_EQ(r("2.46"), "2.45");
    EXPECT_EQ(r("2.40"), "2.4");
    EXPECT_EQ(r("2.49"), "2.5");
    EXPECT_EQ(r("2.445"), "2.45");  // ties to even at the cent first: 2.44 -> 2.45
    EXPECT_EQ(r("2.455"), "2.45");  // 2.46 -> 2.45
}

TEST(PriceRecalc, WorkedExamples) {
    EXPECT_EQ(priceFromPercentage(Money::fromInt(1), percentuale("10", "P"), false).plain(), "1.1");
    EXPECT_EQ(priceFromCost(Money::fromInt(1), percentuale("30", "P"), 22, true).plain(), "1.6");
    EXPECT_EQ(priceFromCost(Money::fromInt(1), percentuale("30", "P"), 22, false).plain(), "1.59");
    EXPECT_EQ(priceFromPercentage(Money::fromInt(2), percentuale("", "P"), false).plain(), "2");
    EXPECT_EQ(priceFromPercentage(Money::fromInt(10), percentuale("-10", "P"), false).plain(), "9");
    EXPECT_EQ(percentuale("5.5", "P"), percentuale("5,5", "P"));
    EXPECT_FLOAT_EQ(percentuale("5.5", "P"), 5.5f);
    EXPECT_THROW(percentuale("dieci", "P"), Error);
    EXPECT_EQ(wholeVatRate(" 22"), 22);
    EXPECT_EQ(wholeVatRate(""), 0);
    EXPECT_THROW(wholeVatRate("X2"), Error);
}

TEST_F(Commands, RecalcFromOldPriceWorksOnSelectedRowsAndReportsTheEnd) {
    add({.bns = 1, .sel = "X", .prezpub = "2.2", .prezpubv = "0"});
    add({.bns = 2, .sel = "", .prezpub = "2.2", .prezpubv = "0"});
    open();
    store.session.state.fl_arrotonda = "S";
    EXPECT_EQ(review->openRecalc(), 1);
    EXPECT_EQ(progress.values["cntrw"], "1");
    EXPECT_EQ(review->recalcFromPrice("12,5"), 1);  // 2.475 -> 2.48 -> 2.50
    EXPECT_EQ(price(1), "2.5");
    EXPECT_EQ(price(2), "0");
    EXPECT_EQ(progress.values["cntbw"], "1");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, " Elaborazione terminata");
    EXPECT_EQ(messages.shown[0].icon, Icon::Information);
    EXPECT_EQ(messages.shown[0].title, "");
}

TEST_F(Commands, RecalcFromNewCostWithVat) {
    add({.bns = 1, .ivart = "22", .coston = "1"});
    add({.bns = 2, .ivart = "", .coston = "2"});
    open();
    review->openRecalc();
    EXPECT_EQ(review->recalcFromCost("30"), 2);
    EXPECT_EQ(price(1), "1.59");  // 1.586 to the cent: a till charges whole cents
    EXPECT_EQ(price(2), "2.6");
}

TEST_F(Commands, RecalcWithoutRowsSaysNothing) {
    add({.bns = 1, .sel = ""});
    open();
    EXPECT_EQ(review->openRecalc(), 0);
    EXPECT_EQ(review->recalcFromPrice("10"), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Commands, BadPercentageWritesNothing) {
    add({.bns = 1});
    open();
    review->openRecalc();
    std::string before = store.dump("variatil");
    EXPECT_THROW(review->recalcFromPrice("10%"), Error);
    EXPECT_EQ(store.dump("variatil"), before);
}

TEST_F(Commands, FailureMidwayLeavesVariatilUnchanged) {
    store.exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 600) "
        "INSERT INTO variatil (bns, codfor, sel, desart, ivart, prezpub, prezpubv, coston) "
        "SELECT i, 12, 'X', 'A' || (1000 + i), '22', 10, 11, 9 FROM n");
    open();
    review->openRecalc();
    store.exec("UPDATE variatil SET ivart = 'XX' WHERE bns = 400");
    std::string before = store.dump("variatil");
    EXPECT_THROW(review->recalcFromCost("30"), Error);
    EXPECT_EQ(store.dump("variatil"), before);

    // The engine refusing a write midway: every bulk command rolls back whole.
    test::refuseWrites(store, "stop_at_500", "BEFORE UPDATE", "variatil", "OLD.bns = 500",
                       "disco pieno");
    EXPECT_ANY_THROW(review->recalcFromPrice("10"));
    EXPECT_ANY_THROW(review->selectAllRows());
    EXPECT_ANY_THROW(review->selectChangedPrices());
    EXPECT_EQ(store.dump("variatil"), before);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Commands, ClickTogglesSelectionAndOpensTheEditorOnDataColumns) {
    add({.bns = 7, .codart = 55, .sel = "", .ean = "8001", .codafo = "AB"});
    open();
    EXPECT_FALSE(review->click(0, kSel));
    EXPECT_EQ(sel(7), "X");
    EXPECT_TRUE(review->isBold(0));
    EXPECT_EQ(review->rows().row(0)[kSel].text(), "X");
    review->click(0, kSel);
    EXPECT_EQ(sel(7), "");
    EXPECT_FALSE(review->isBold(0));

    auto in = review->click(0, 2);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->codart, 55);
    EXPECT_EQ(in->bns, 7);
    EXPECT_EQ(in->ean, "8001         ");
    EXPECT_EQ(in->codafo.size(), 16u);
    EXPECT_TRUE(review->click(0, 16));
    EXPECT_FALSE(review->click(0, 17));
    EXPECT_FALSE(review->click(0, 0));
    EXPECT_FALSE(review->click(1, 2));  // past the last row: ignored
    EXPECT_TRUE(review->enter(0));
}

}  // namespace
}  // namespace cl::review
