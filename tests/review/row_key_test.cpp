// Rows found by their key after the grid moved them, and the count of selected rows.
#include <gtest/gtest.h>

#include "review_fixture.h"

namespace cl::review {
namespace {

class RowKey : public ReviewFixture, public ::testing::Test {
  protected:
    void SetUp() override {
        add({.bns = 7, .codart = 30, .sel = "X", .desart = "CAFFE"});
        add({.bns = 8, .codart = 10, .sel = "", .desart = "BIRRA"});
        add({.bns = 9, .codart = 20, .sel = "X", .desart = "ACQUA"});
        add({.bns = 5, .codfor = 99, .codart = 40, .sel = "X", .desart = "ALTRO"});
        open();
    }
};

TEST_F(RowKey, FindFollowsTheKeyThroughSearchesAndSorts) {
    EXPECT_EQ(review->rows().find(7), 2u);  // ACQUA, BIRRA, CAFFE
    review->search(SearchKind::Code, "");   // every supplier, by article code
    EXPECT_EQ(review->rows().find(7), 2u);  // 10, 20, 30, 40
    EXPECT_EQ(review->rows().find(5), 3u);
    review->search(SearchKind::Description, "BIRRA");
    EXPECT_EQ(review->rows().find(8), 0u);
    EXPECT_EQ(review->rows().find(7), std::nullopt);     // not shown
    EXPECT_EQ(review->rows().find(1234), std::nullopt);  // no such row
}

TEST_F(RowKey, SelectedCounterIsTheSuppliersRowsWithSelX) {
    EXPECT_EQ(progress.values["cntw"], "2");
    EXPECT_EQ(progress.values["nrartw"], "3");
    review->click(1, kSel);  // BIRRA selected
    EXPECT_EQ(progress.values["cntw"], "3");
    EXPECT_TRUE(review->isBold(1));
    review->click(0, kSel);  // ACQUA deselected
    EXPECT_EQ(progress.values["cntw"], "2");
    EXPECT_FALSE(review->isBold(0));
    review->deselectAllRows();
    EXPECT_EQ(progress.values["cntw"], "0");
    EXPECT_EQ(sel(5), "X");  // the other supplier's row is neither touched nor counted
}

}  // namespace
}  // namespace cl::review
