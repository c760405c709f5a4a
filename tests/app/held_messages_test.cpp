// The writing phase of a command keeps its messages until its transaction has ended, and may
// not ask; the work table's mark tells the same rows from changed ones.
#include "app/held_messages.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/work_table.h"
#include "support/temp_store.h"

namespace cl::test {
namespace {

TEST(HeldMessages, ShownInOrderOnlyWhenReleasedAndNeverAsking) {
    RecordingMessages shown;
    HeldMessages held(shown);
    held.show("primo", Icon::Information, "");
    held.show("secondo", Icon::Critical, "Titolo");
    EXPECT_TRUE(shown.shown.empty());
    EXPECT_THROW(held.ask("Continuare?", "", Icon::Question, Answer::No), std::logic_error);
    held.release();
    ASSERT_EQ(shown.shown.size(), 2u);
    EXPECT_EQ(shown.shown[0].text, "primo");
    EXPECT_EQ(shown.shown[1].text, "secondo");
    EXPECT_EQ(shown.shown[1].title, "Titolo");
    EXPECT_EQ(shown.shown[1].icon, Icon::Critical);
    held.release();  // nothing twice
    EXPECT_EQ(shown.shown.size(), 2u);
}

TEST(WorkTableMark, AnyChangedValueOrRowChangesItTheOrderDoesNot) {
    TempStore t;
    t.exec(
        "INSERT INTO variatil (bns, sel, codart, prezpubv) VALUES (1, 'X', 10, 2.5), "
        "(2, '', 11, 3)");
    auto mark = [&](const std::string& where = {}) {
        auto db = t.session.openStore();
        return workTableMark(*db, where);
    };
    const WorkTableMark first = mark();
    EXPECT_EQ(first.rows, 2);
    EXPECT_EQ(mark(), first);
    EXPECT_EQ(mark(" WHERE bns = 1").rows, 1);

    // The same rows in another order of insertion: the same mark.
    t.exec("DELETE FROM variatil");
    t.exec(
        "INSERT INTO variatil (bns, sel, codart, prezpubv) VALUES (2, '', 11, 3), "
        "(1, 'X', 10, 2.5)");
    EXPECT_EQ(mark(), first);

    t.exec("UPDATE variatil SET sel = 'X' WHERE bns = 2");
    EXPECT_FALSE(mark() == first);
    t.exec("UPDATE variatil SET sel = '' WHERE bns = 2");
    EXPECT_EQ(mark(), first);
    // A row given and taken: the same count, not the same rows.
    t.exec("DELETE FROM variatil WHERE bns = 2");
    t.exec("INSERT INTO variatil (bns, sel, codart, prezpubv) VALUES (3, '', 11, 3)");
    EXPECT_EQ(mark().rows, 2);
    EXPECT_FALSE(mark() == first);
    EXPECT_EQ(mark(" WHERE bns = 1"), mark(" WHERE bns = 1"));
    EXPECT_EQ(WorkTableMark{}, mark(" WHERE bns = 99"));
}

}  // namespace
}  // namespace cl::test
