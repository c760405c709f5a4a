#include "store/database.h"

#include <gtest/gtest.h>

#include "support/temp_store.h"

namespace cl {
namespace {

TEST(Transaction, FailureMidwayLeavesEveryAttachedDatabaseUnchanged) {
    test::TempStore t;
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'PANE')");
    t.execFixed("INSERT INTO articolo (codart, desart, artvariato) VALUES (5, 'LATTE', 'S')");
    std::string storeBefore = t.dump("variatil"), fixedBefore = t.dump("articolo", true);
    {
        auto db = t.session.openStore(true);
        store::Transaction tx(*db);
        db->exec("DELETE FROM variatil");
        db->exec("UPDATE fisso.articolo SET artvariato = ''");
        EXPECT_THROW(db->exec("INSERT INTO tabella_che_non_esiste VALUES (1)"), Error);
    }
    EXPECT_EQ(t.dump("variatil"), storeBefore);
    EXPECT_EQ(t.dump("articolo", true), fixedBefore);
}

}  // namespace
}  // namespace cl
