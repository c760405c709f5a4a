// The order of the review rows and how they are read: one order on every engine, and rows read
// in blocks give what rows read one by one gave.
#include <gtest/gtest.h>

#include "review/review_grid.h"
#include "review/review_rows.h"
#include "support/variatil_rows.h"

namespace cl::review {
namespace {

using test::addVariatil;
using test::VariatilRow;

std::vector<long long> bnsInOrder(store::Database& db, const ReviewFilter& f) {
    ReviewRows rows;
    rows.load(db, f);
    std::vector<long long> out;
    for (size_t i = 0; i < rows.count(); ++i) out.push_back(rows.row(i)[kBns].integer());
    return out;
}

TEST(ReviewOrder, EmptyFieldsFirstAndEqualOnesInTheOrderWritten) {
    test::TempStore store;
    // Equal descriptions in any letter case, and two without one.
    for (auto [bns, desart] : std::vector<std::pair<long long, std::string>>{
             {1, "pasta"}, {2, "MELE"}, {3, "Pasta"}, {4, ""}, {5, "PASTA"}, {6, "mele"}}) {
        VariatilRow r;
        r.bns = bns;
        r.desart = desart;
        addVariatil(store, r);
    }
    store.exec("UPDATE variatil SET desart = NULL WHERE bns = 4");
    store.exec("UPDATE variatil SET desart = NULL, codart = NULL WHERE bns = 6");
    auto db = store.session.openStore();
    EXPECT_EQ(bnsInOrder(*db, ReviewFilter{}), (std::vector<long long>{4, 6, 2, 1, 3, 5}));

    // By code: all rows share code 100 but the one without: it comes first, the rest as written.
    ReviewFilter byCode;
    byCode.sortBy = SearchKind::Code;
    EXPECT_EQ(bnsInOrder(*db, byCode), (std::vector<long long>{6, 1, 2, 3, 4, 5}));
}

TEST(ReviewRowsRead, BlocksGiveEveryRowItsOwnValuesInAnyReadingOrder) {
    test::TempStore store;
    const int n = 150;  // several blocks
    for (int i = 1; i <= n; ++i) {
        VariatilRow r;
        r.bns = i;
        r.codart = 1000 + i;
        r.desart = "ARTICOLO " +
                   std::string(i < 10    ? "00"
                               : i < 100 ? "0"
                                         : "") +
                   std::to_string(i);
        addVariatil(store, r);
    }
    auto db = store.session.openStore();
    ReviewRows rows;
    rows.load(*db, ReviewFilter{});
    ASSERT_EQ(rows.count(), static_cast<size_t>(n));
    rows.writeCell(70, 14, "12,50");
    // Backwards, so that each block read starts on a row whose neighbours are partly read.
    for (size_t i = rows.count(); i-- > 0;) {
        const ReviewRow& r = rows.row(i);
        EXPECT_EQ(r[kCodArt].integer(), 1001 + static_cast<long long>(i)) << i;
        EXPECT_EQ(r[kBns].integer(), 1 + static_cast<long long>(i)) << i;
    }
    EXPECT_EQ(rows.row(70).written.at(14), "12,50");
    EXPECT_TRUE(rows.row(71).written.empty());

    // A row removed since the load reads empty; its neighbours are unaffected.
    store.exec("DELETE FROM variatil WHERE bns = 101");
    rows.refreshAll();
    EXPECT_TRUE(rows.row(100)[kCodArt].isNull());
    EXPECT_EQ(rows.row(101)[kCodArt].integer(), 1102);
    EXPECT_EQ(rows.row(99)[kCodArt].integer(), 1100);
}

}  // namespace
}  // namespace cl::review
