#include <gtest/gtest.h>

#include "store/database.h"
#include "support/temp_store.h"

namespace cl {
namespace {

// An open connection that has read must not keep a second one from writing.
TEST(LockRelease, ReadersLetGoOfTheirLocks) {
    test::TempStore t;
    t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (1, 'A'), (2, 'B')");
    auto readerConnection = store::openDatabase(t.storeFile());
    store::Database& reader = *readerConnection;
    auto all = reader.prepare("SELECT * FROM fornitori");
    while (all.step()) {
    }
    auto one = reader.prepare("SELECT * FROM fornitori WHERE codfornitore = 1");
    EXPECT_TRUE(one.step());  // left on its row on purpose
    {
        store::Transaction tx(reader);
        reader.exec("UPDATE fornitori SET dscfornitore = 'C' WHERE codfornitore = 2");
        tx.commit();
    }
    auto writerConnection = store::openDatabase(t.storeFile());
    store::Database& writer = *writerConnection;
    writer.exec("UPDATE fornitori SET dscfornitore = 'D' WHERE codfornitore = 1");
    EXPECT_EQ(t.scalar("SELECT dscfornitore FROM fornitori WHERE codfornitore = 1"), "D");
}

TEST(Environment, TestsSeeTheProgramAndTheSharedFolder) {
    EXPECT_NE(std::getenv("CL_BINARY"), nullptr);
    EXPECT_NE(std::getenv("CL_SHARED"), nullptr);
}

}  // namespace
}  // namespace cl
