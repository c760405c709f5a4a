#include <gtest/gtest.h>

#include "update_fixture.h"

namespace cl::test {
namespace {

class EmptyView : public UpdateTest {};

TEST_F(EmptyView, UpdateOverNoSelectedRowsEndsSilentlyAndWritesNothing) {
    // Rows the view does not cover: unselected, and of another supplier.
    insert("variatil", {{"bns", 1}, {"sel", ""}, {"codfor", 12}, {"codart", 5}, {"prezpubv", 2.0}});
    insert("variatil",
           {{"bns", 2}, {"sel", "X"}, {"codfor", 99}, {"codart", 6}, {"prezpubv", 3.0}});
    std::string before = everything();
    review::UpdateResult r = run();
    EXPECT_TRUE(r.performed);
    EXPECT_EQ(r.rowsConsumed, 0);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    EXPECT_EQ(everything(), before);
}

TEST_F(EmptyView, OneRowStillEndsWithTheClosingMessage) {
    variatil({{"codart", 0}, {"ea1art", "8000000000011"}, {"desart", "NUOVO"}, {"prezpubv", 0.0}});
    run();
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, review::kUpdateDoneMessage);
}

}  // namespace
}  // namespace cl::test
