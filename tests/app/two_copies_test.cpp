// Two copies of the program started on one store: on its files the second is asked whether to
// look read-only or end; on a server the second is told which workstations have the store open
// and goes on as before.
#include <gtest/gtest.h>

#include "app/store_lock.h"
#include "app/who.h"
#include "support/temp_store.h"
#include "support/test_engine.h"

namespace cl {
namespace {

TEST(TwoCopies, TheSecondLearnsWhoHasTheStore) {
    test::TempStore store;
    Session first = store.session, second = store.session;
    test::RecordingMessages toFirst, toSecond;
    ASSERT_TRUE(holdStoreFiles(first, toFirst));
    EXPECT_TRUE(toFirst.shown.empty());

    const bool goesOn = holdStoreFiles(second, toSecond);  // No to the question on files
    ASSERT_EQ(toSecond.shown.size(), 1u);
    const auto& told = toSecond.shown.front();
    const Who& here = whoIsHere();
    EXPECT_NE(told.text.find("su " + here.pc + " (utente " + here.user + ") dal "),
              std::string::npos)
        << told.text;
    if (test::onServerEngine()) {
        EXPECT_TRUE(goesOn);
        EXPECT_FALSE(second.readOnly);
        EXPECT_EQ(told.icon, Icon::Information);
        EXPECT_EQ(told.text.rfind("Il negozio è aperto anche su ", 0), 0u) << told.text;
        // The first copy ends: nobody is left to name.
        first.serverPresence.reset();
        Session third = store.session;
        test::RecordingMessages toThird;
        second.serverPresence.reset();
        EXPECT_TRUE(holdStoreFiles(third, toThird));
        EXPECT_TRUE(toThird.shown.empty()) << toThird.shown.front().text;
    } else {
        EXPECT_FALSE(goesOn);
        EXPECT_EQ(told.icon, Icon::Question);
    }
}

}  // namespace
}  // namespace cl
