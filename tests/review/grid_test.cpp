#include <gtest/gtest.h>

#include "review/review_grid.h"
#include "review/review_rows.h"
#include "support/variatil_rows.h"

namespace cl::review {
namespace {

using test::addVariatil;
using test::VariatilRow;

// The row as the grid loads it from the work table.
ReviewRow loaded(const VariatilRow& r) {
    test::TempStore store;
    addVariatil(store, r);
    auto db = store.session.openStore();
    ReviewRows rows;
    rows.load(*db, ReviewFilter{});
    return rows.row(0);
}

ReviewRow rowWith(const std::string& oldPrice, const std::string& newPrice,
                  const std::string& var = "3") {
    VariatilRow r;
    r.prezpub = oldPrice;
    r.prezpubv = newPrice;
    r.percdiff = var;
    return loaded(r);
}

TEST(VariationRule, NewArticleOldPriceZeroShowsHundredRedWithYellowText) {
    CellLook look = cellLook(rowWith("0", "5"), kVar);
    EXPECT_EQ(look.text, "100,00");
    EXPECT_EQ(look.background, kRed);
    EXPECT_EQ(look.foreground, kYellow);
}

TEST(VariationRule, LoweredPriceIsGreenRaisedRedEqualYellow) {
    CellLook down = cellLook(rowWith("10", "9"), kVar);
    EXPECT_EQ(down.text, "-10,00");
    EXPECT_EQ(down.background, kGreen);
    EXPECT_FALSE(down.foreground);

    CellLook up = cellLook(rowWith("10", "12.5"), kVar);
    EXPECT_EQ(up.text, "25,00");
    EXPECT_EQ(up.background, kRed);

    CellLook same = cellLook(rowWith("10", "10"), kVar);
    EXPECT_EQ(same.text, "0,00");
    EXPECT_EQ(same.background, kYellow);
}

ReviewRow rowWithCosts(const std::string& oldCost, const std::string& newCost) {
    VariatilRow r;
    r.prezpub = "10";
    r.prezpubv = "12.5";
    r.przvec = oldCost;
    r.coston = newCost;
    return loaded(r);
}

// A new cost three times the old one, or under a third of it, is marked in the Var column.
TEST(VariationRule, CostThatJumpsThreefoldIsMarked) {
    EXPECT_EQ(cellLook(rowWithCosts("1", "7.24"), kVar).text, "3× costo 25,00");
    EXPECT_EQ(cellLook(rowWithCosts("3.10", "1"), kVar).text, "⅓ costo 25,00");
    EXPECT_EQ(cellLook(rowWithCosts("1", "2.99"), kVar).text, "25,00");
    EXPECT_EQ(cellLook(rowWithCosts("0", "5"), kVar).text, "25,00");  // no old cost
}

TEST(VariationRule, OldPriceRoundedInTheDifferenceButNotInTheDivisor) {
    // (10.00 - round(10.004, 2)) / 10.004 = 0: the stored cost variation is not shown.
    EXPECT_DOUBLE_EQ(*variazione(rowWith("10.004", "10")), 0.0);
    // (11 - 10.01) / 10.006 x 100
    EXPECT_NEAR(*variazione(rowWith("10.006", "11")), (11 - 10.01) / 10.006 * 100, 1e-9);
}

TEST(VariationRule, EmptyOldPriceOrVariationKeepsTheCell) {
    ReviewRow noOld = rowWith("NULL", "5", "7.5");
    EXPECT_FALSE(variazione(noOld));
    EXPECT_EQ(cellLook(noOld, kVar).text, "7,50");
    EXPECT_EQ(cellLook(noOld, kVar).background, kYellow);
    ReviewRow noVar = rowWith("4", "5", "NULL");
    EXPECT_FALSE(variazione(noVar));
    EXPECT_EQ(cellLook(noVar, kVar).text, "");
    EXPECT_EQ(cellLook(noOld, kPrezzoV).text, "");
}

TEST(GridCells, ColoursAndFormatsPerColumn) {
    test::TempStore store;
    VariatilRow r;
    r.przvec = "1.23456";
    r.perc = "-3.456";
    r.coston = "-2";
    r.rica = "12.5";
    r.prezpubv = "1234.565";
    addVariatil(store, r);
    auto db = store.session.openStore();
    ReviewRows rows;
    rows.load(*db, ReviewFilter{});
    const ReviewRow& row = rows.row(0);

    EXPECT_EQ(cellLook(row, kCostoV).text, "1,2346");  // ##0.0000, half away from zero
    EXPECT_EQ(cellLook(row, kCostoV).background, kYellow);
    EXPECT_EQ(cellLook(row, kMarV).text, "-3,46");
    EXPECT_EQ(cellLook(row, kMarV).background, kRed);
    EXPECT_EQ(cellLook(row, kCostoN).text, "-2");  // no format
    EXPECT_EQ(cellLook(row, kCostoN).background, kRed);
    EXPECT_EQ(cellLook(row, kMarN).text, "12,5000");
    EXPECT_EQ(cellLook(row, kMarN).background, kGreen);
    EXPECT_EQ(cellLook(row, kPrezzoN).text, "1234,57");
    EXPECT_EQ(cellLook(row, kPrezzoN).background, kGreen);
    EXPECT_EQ(cellLook(row, kStato).text, "          ");  // a text keeps its text
    EXPECT_FALSE(cellLook(row, kDescrizione).background);
    EXPECT_EQ(rawText(row, kPrezzoN), "1234.565");
}

TEST(GridCells, HeadingsAndWidths) {
    EXPECT_STREQ(columnInfo(1).heading, "Sel");
    EXPECT_STREQ(columnInfo(15).heading, "Var");
    EXPECT_STREQ(columnInfo(27).heading, "bns");
    EXPECT_STREQ(columnInfo(34).heading, "modificatoamano");
    EXPECT_EQ(columnInfo(4).widthTwips, 3100);
    EXPECT_EQ(columnInfo(19).widthTwips, 0);  // hidden
    EXPECT_EQ(columnInfo(11).widthTwips, kDefaultWidth);
}

TEST(GridRows, EditorCellsShowUntilReload) {
    test::TempStore store;
    addVariatil(store, VariatilRow{});
    auto db = store.session.openStore();
    ReviewRows rows;
    rows.load(*db, ReviewFilter{});
    rows.writeCell(0, kPrezzoN, "15,86");
    EXPECT_EQ(cellLook(rows.row(0), kPrezzoN).text, "15,86");
    rows.refreshRow(0);
    EXPECT_EQ(cellLook(rows.row(0), kPrezzoN).text, "15,86");
    rows.load(*db, ReviewFilter{});
    EXPECT_EQ(cellLook(rows.row(0), kPrezzoN).text, "11,00");
}

}  // namespace
}  // namespace cl::review
