#include <gtest/gtest.h>

#include "store/database.h"
#include "support/temp_store.h"

namespace cl {
namespace {

std::vector<long long> codes(store::Query& q) {
    std::vector<long long> out;
    while (q.step()) out.push_back(q.integer("codfornitore"));
    return out;
}

class QueryTest : public ::testing::Test {
  protected:
    void SetUp() override { t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (1, 'A'), (2, 'B'), (3, 'C')"); }
    std::unique_ptr<store::Database> open() { return store::openDatabase(t.storeFile()); }
    test::TempStore t;
};

// A walk inside a walk over the same text: each use has its own rows and bindings.
TEST_F(QueryTest, NestedUsesOfTheSameTextReadIndependently) {
    auto db = open();
    const std::string sql =
        "SELECT codfornitore FROM fornitori WHERE codfornitore >= ? ORDER BY codfornitore";
    auto outer = db->prepare(sql);
    outer.bind(1, store::Value(1));
    std::vector<std::vector<long long>> inner;
    std::vector<long long> seen;
    while (outer.step()) {
        seen.push_back(outer.integer("codfornitore"));
        auto nested = db->prepare(sql);
        nested.bind(1, store::Value(outer.integer("codfornitore") + 1));
        inner.push_back(codes(nested));
    }
    EXPECT_EQ(seen, (std::vector<long long>{1, 2, 3}));
    EXPECT_EQ(inner, (std::vector<std::vector<long long>>{{2, 3}, {3}, {}}));
    // Given back, the statement starts afresh with no binding left over.
    auto again = db->prepare(sql);
    EXPECT_FALSE(again.step()) << "a null binding matches no row";
}

TEST_F(QueryTest, RebindingPerRowAndMovingKeepTheStatement) {
    auto db = open();
    auto q = db->prepare("SELECT dscfornitore FROM fornitori WHERE codfornitore = ?");
    std::string names;
    for (int code : {3, 1, 2}) {
        q.reset().bind(1, store::Value(code));
        ASSERT_TRUE(q.step());
        names += q.text("dscfornitore");
    }
    EXPECT_EQ(names, "CAB");
    store::Query moved = std::move(q);
    moved.reset().bindAll(std::vector<store::Value>{store::Value(2)});
    ASSERT_TRUE(moved.step());
    EXPECT_EQ(moved.text("dscfornitore"), "B");
    EXPECT_THROW(moved.value("campo_assente"), Error);
}

// Leaving a walk half way must let another workstation write at once.
TEST_F(QueryTest, QueryLeftMidWalkReleasesItsReadLock) {
    auto reader = open();
    {
        auto walk = reader->prepare("SELECT * FROM fornitori ORDER BY codfornitore");
        ASSERT_TRUE(walk.step());  // holds a read lock while on its row
    }
    auto writer = open();
    store::Transaction tx(*writer);
    writer->exec("UPDATE fornitori SET dscfornitore = 'Z' WHERE codfornitore = 1");
    EXPECT_NO_THROW(tx.commit());
    EXPECT_EQ(t.scalar("SELECT dscfornitore FROM fornitori WHERE codfornitore = 1"), "Z");
}

TEST_F(QueryTest, QueryOutlivingItsConnectionOrSchemaIsHarmless) {
    auto db = open();
    auto fixed = t.fixedFile();
    db->attach(fixed, "fisso", store::OpenMode::ReadOnly);
    auto central = db->prepare("SELECT count(*) FROM fisso.articolo");
    ASSERT_TRUE(central.step());
    db->detach("fisso");
    EXPECT_THROW(db->prepare("SELECT count(*) FROM fisso.articolo"), Error);
    auto late = db->prepare("SELECT count(*) FROM fornitori");
    ASSERT_TRUE(late.step());
    db.reset();  // the connection closes once the last query is done with it
    EXPECT_EQ(late.value(0).integer(), 3);
}

// The driver names what went wrong, so that callers need not read the words.
TEST_F(QueryTest, EngineErrorsCarryTheirKind) {
    auto db = open();
    db->exec("CREATE UNIQUE INDEX prova_unica ON fornitori (dscfornitore)");
    try {
        db->exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (4, 'A')");
        FAIL() << "a duplicate key was written";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::InvalidInput) << e.what();
    }
    auto reading = store::openDatabase(t.storeFile(), store::OpenMode::ReadOnly);
    try {
        reading->prepare("UPDATE fornitori SET dscfornitore = 'X'").run();
        FAIL() << "a read-only connection wrote";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::ReadOnly) << e.what();
        EXPECT_NE(std::string(e.what()).find("sola lettura"), std::string::npos) << e.what();
    }
}

// Waits for the engine's busy timeout.
TEST_F(QueryTest, SlowLockHeldElsewhereIsBusy) {
    auto holder = open();
    store::Transaction held(*holder);
    holder->exec("UPDATE fornitori SET dscfornitore = 'H'");
    auto other = open();
    try {
        store::Transaction tx(*other);
        FAIL() << "two writers at once";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Busy) << e.what();
        EXPECT_NE(std::string(e.what()).find("in uso"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace cl
