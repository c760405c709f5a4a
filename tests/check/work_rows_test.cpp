// The work table rows of a run are stored a block at a time: the same rows, in the same order,
// as one statement per row would store them, whatever the number of rows.
#include "check/work_rows.h"

#include "check_fixture.h"
#include "store/fixed_text.h"
#include "support/refused_write.h"

namespace cl::test {
namespace {

using check::RunOutcome;

class WorkRowsBlocks : public CheckFixture {
  protected:
    // `n` central articles marked changed, ARTn, each with one barcode; none in the store.
    void changedArticles(int n) {
        const std::string numbers =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
            "FROM n WHERE i < " +
            std::to_string(n) + ") ";
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, ivart, umart, desfor, "
            "artvariato) " +
            numbers + "SELECT i, 'ART' || (1000 + i), 2, '22', 'PZ', 'CENTRALE', 'S' FROM n");
        t.execFixed("INSERT INTO codean (eanare, codare) " + numbers +
                    "SELECT '80000000' || (10000 + i), i FROM n");
    }
    long long count(const std::string& where) {
        return std::stoll(t.scalar("SELECT count(*) FROM variatil WHERE " + where));
    }
};

TEST_F(WorkRowsBlocks, PendingRowsGoInBlocksAndInTheOrderAdded) {
    auto db = t.openStoreDb();
    store::Transaction tx(*db);
    check::WorkRows rows(*db);
    const size_t total = check::WorkRows::kBlockRows + 6;
    for (size_t i = 1; i <= total; ++i) {
        check::VariatilRow r;
        r.bns = store::Value(static_cast<long long>(i));
        r.desart = store::Value("RIGA " + std::to_string(i));
        r.prezpubv = store::Value(1.25 * static_cast<double>(i));
        r.codfor = store::Value(12LL);
        if (i == total) r.datagg = store::Value(std::string("2026-11-30"));
        rows.add(r);
    }
    EXPECT_EQ(rows.pending(), 6u);
    EXPECT_EQ(check::variatilRows(*db), static_cast<long long>(check::WorkRows::kBlockRows));
    rows.flush();
    EXPECT_EQ(rows.pending(), 0u);
    rows.flush();  // nothing pending: nothing written twice
    EXPECT_EQ(check::variatilRows(*db), static_cast<long long>(total));
    auto last =
        db->prepare("SELECT bns, desart, prezpubv, datagg, perc, codfor FROM variatil ORDER BY " +
                    db->rowIdentity());
    long long expected = 0;
    while (last.step()) {
        ASSERT_EQ(last.value(0).integer(), ++expected);  // stored in the order added
        EXPECT_EQ(store::trimmed(last.value(1).text()), "RIGA " + std::to_string(expected));
        EXPECT_DOUBLE_EQ(last.value(2).number(), 1.25 * static_cast<double>(expected));
        EXPECT_EQ(last.value(3).isNull(), expected != static_cast<long long>(total));
        EXPECT_TRUE(last.value(4).isNull());
        EXPECT_EQ(last.value(5).integer(), 12);
    }
    EXPECT_EQ(expected, static_cast<long long>(total));
    EXPECT_EQ(t.scalar("SELECT datagg FROM variatil WHERE datagg IS NOT NULL"), "");  // not yet
    tx.commit();
    EXPECT_EQ(t.scalar("SELECT datagg FROM variatil WHERE datagg IS NOT NULL"), "2026-11-30");
}

TEST_F(WorkRowsBlocks, ACheckOfMoreRowsThanABlockWritesEveryOneInWalkOrder) {
    const int n = 2 * static_cast<int>(check::WorkRows::kBlockRows) + 3;
    changedArticles(n);
    auto r = check();
    ASSERT_EQ(r.outcome, RunOutcome::Done);
    EXPECT_EQ(r.counts.written, n);
    EXPECT_EQ(rows(), n);
    // The walk goes by description: ARTn is the n-th row.
    EXPECT_EQ(count("substr(desart, 1, 7) <> 'ART' || (1000 + bns)"), 0);
    EXPECT_EQ(count("bns BETWEEN 1 AND " + std::to_string(n)), n);
    EXPECT_EQ(std::stoll(t.scalar("SELECT count(*) FROM variatil a JOIN variatil b ON a.rowid < "
                                  "b.rowid AND a.bns > b.bns")),
              0);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM (SELECT DISTINCT codafo FROM variatil) d"),
              std::to_string(n));
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"), "0");
}

TEST_F(WorkRowsBlocks, ARowRefusedInAFullBlockLeavesEverythingAsItWas) {
    const int n = 2 * static_cast<int>(check::WorkRows::kBlockRows) + 3;
    changedArticles(n);
    refuseWrites(t, "boom", "BEFORE INSERT", "variatil", "NEW.bns = 100", "disco guasto");
    const auto work = t.dump("variatil"), parameters = t.dump("parametri"),
               central = t.dump("articolo", true);
    auto r = check();
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("disco guasto"), std::string::npos)
        << messages.shown.back().text;
    EXPECT_EQ(t.dump("variatil"), work);
    EXPECT_EQ(t.dump("parametri"), parameters);
    EXPECT_EQ(t.dump("articolo", true), central);
}

}  // namespace
}  // namespace cl::test
