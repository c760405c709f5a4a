#include "history/journal.h"

#include <gtest/gtest.h>

#include "history/journal_fixture.h"
#include "history/journal_schema.h"
#include "history/labels.h"
#include "history/price_history.h"
#include "history/undo.h"
#include "support/older_journal.h"

namespace cl {
namespace {

TEST_F(JournalTest, UndoRestoresByteIdenticalTables) {
    std::string before = allTables(t);
    long long run = update();
    EXPECT_NE(allTables(t), before);
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(t.session, std::nullopt, m));
    EXPECT_EQ(allTables(t), before);
    // Once undone, there is nothing left to undo.
    EXPECT_THROW(history::undoUpdate(t.session, std::nullopt, m), Error);
    EXPECT_THROW(history::undoUpdate(t.session, run, m), Error);
}

TEST_F(JournalTest, UndoAnsweredNoChangesNothing) {
    update();
    std::string after = allTables(t);
    test::RecordingMessages m;  // answers No
    EXPECT_FALSE(history::undoUpdate(t.session, std::nullopt, m));
    EXPECT_EQ(allTables(t), after);
}

TEST_F(JournalTest, FailedRunRecordsNothing) {
    std::string before = allTables(t);
    EXPECT_THROW(update([](Journal&, store::Database& db) {
                     db.exec("INSERT INTO tabella_assente VALUES (1);");
                 }),
                 Error);
    EXPECT_EQ(allTables(t), before);
    auto dbConnection = t.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, t.storeFile());
    EXPECT_TRUE(history::listRuns(db).empty());
    EXPECT_EQ(db.prepare("SELECT count(*) FROM storia.changes").step() ? 1 : 0, 1);
}

TEST_F(JournalTest, LaterRunIsAConflictUnlessUndoneFirst) {
    std::string before = allTables(t);
    long long first = update();
    {
        auto db = t.session.openStore();
        Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        journal.updateRows("listi01", {{"przpub", 2.9}}, " WHERE codart = 1");
        journal.endRun();
        tx.commit();
    }
    std::string afterBoth = allTables(t);
    test::RecordingMessages refuse;  // No to "undo the later runs first?"
    EXPECT_THROW(history::undoUpdate(t.session, first, refuse), Error);
    EXPECT_EQ(allTables(t), afterBoth);
    ASSERT_FALSE(refuse.shown.empty());
    EXPECT_NE(refuse.shown[0].text.find("articolo 1"), std::string::npos);

    test::RecordingMessages cascade;
    cascade.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(t.session, first, cascade));
    EXPECT_EQ(allTables(t), before);
}

TEST_F(JournalTest, ChangeOutsideAnUpdateBlocksTheUndo) {
    update();
    t.exec("UPDATE listi01 SET przpub = 9.99 WHERE codart = 1");
    std::string now = allTables(t);
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    try {
        history::undoUpdate(t.session, std::nullopt, m);
        FAIL() << "undo should refuse";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("modificata dopo"), std::string::npos);
    }
    EXPECT_EQ(allTables(t), now);
}

TEST_F(JournalTest, LabelsListTheArticlesWhosePriceChanged) {
    update();
    auto list = history::labelsToReprint(t.session, std::nullopt);
    ASSERT_EQ(list.labels.size(), 2u);  // article 2 changed its description only
    EXPECT_EQ(list.labels[0].description, "NUOVO");
    EXPECT_FALSE(list.labels[0].oldPrice);
    EXPECT_EQ(list.labels[0].ean, "8000000000024");  // moved onto the new article, primary
    ASSERT_TRUE(list.labels[0].unitPrice);
    EXPECT_EQ(list.labels[0].unitPrice->plain(), "6.2");  // 3,10 for half a litre
    EXPECT_EQ(list.labels[0].referenceUnit, "LT");
    EXPECT_EQ(list.labels[1].article, 1);
    EXPECT_EQ(list.labels[1].oldPrice->plain(), "2.5");
    EXPECT_EQ(list.labels[1].newPrice.plain(), "2.7");
    EXPECT_NE(history::labelsCsv(list).find("1,8000000000017,PANE,2.5,2.7,,\n"), std::string::npos);
}

TEST_F(JournalTest, PriceHistoryByArticleAndByBarcode) {
    update();
    auto h = history::articleHistory(t.session, 1);
    ASSERT_EQ(h.changes.size(), 1u);
    EXPECT_EQ(h.changes[0].priceBefore->plain(), "2.5");
    EXPECT_EQ(h.changes[0].priceAfter->plain(), "2.7");
    EXPECT_EQ(h.changes[0].costAfter->plain(), "1.2");
    EXPECT_EQ(history::historyByEan(t.session, "8000000000031").article, 3);
    EXPECT_TRUE(history::articleHistory(t.session, 2).changes.empty());
    EXPECT_THROW(history::historyByEan(t.session, "123"), Error);
}

// Each change keeps the row as it was just before and just after it, even when the run
// writes the same row again.
TEST_F(JournalTest, ARowChangedTwiceInOneRunKeepsEachStepsCopies) {
    std::string before = allTables(t);
    update([](Journal& journal, store::Database&) {
        journal.updateRows("listi01", {{"przpub", 2.9}}, " WHERE codart = ?", {1});
        journal.updateRows("listi01", {{"desart", "NUOVISSIMO"}}, " WHERE codart = 3");
    });
    auto dbConnection = t.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, t.storeFile());
    auto st = db.prepare(
        "SELECT c.op, b.v_przpub, a.v_przpub, a.v_desart FROM storia.changes c "
        "LEFT JOIN storia.before_listi01 b ON b.change = c.id JOIN storia.after_listi01 a ON "
        "a.change = c.id WHERE c.tbl = 'listi01' AND c.row IN (SELECT rowid FROM listi01 WHERE "
        "codart IN (1, 3)) ORDER BY c.id");
    std::string steps;
    while (st.step())
        steps += st.value(0).text() + " " + (st.value(1).isNull() ? "-" : st.value(1).text()) +
                 ">" + st.value(2).text() + " " + st.value(3).text() + "\n";
    EXPECT_EQ(steps,
              "U 2.5>2.7 PANE\n"
              "I ->3.1 NUOVO\n"
              "U 2.7>2.9 PANE\n"
              "U 3.1>3.1 NUOVISSIMO\n");
    EXPECT_TRUE(history::conflictsOf(db, 1).empty());
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(t.session, std::nullopt, m));
    EXPECT_EQ(allTables(t), before);
}

TEST_F(JournalTest, WritesOutsideARunOrToATableItDoesNotKeepAreRefused) {
    std::string before = allTables(t);
    auto db = t.session.openStore();
    Journal journal(*db, t.storeFile());
    EXPECT_THROW(journal.insertRow("listi01", {{"codart", 9}}), Error);
    store::Transaction tx(*db);
    journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
    EXPECT_THROW(journal.insertRow("unitam", {{"coduni", "KG"}}), Error);
    EXPECT_FALSE(journal.updateRow("listi01", 999, {{"przpub", 1}}));  // no such row
    EXPECT_EQ(journal.deleteRows("variatil", " WHERE bns = ?", {store::Value(7)}), 0);
    journal.endRun();
    tx.commit();
    EXPECT_EQ(allTables(t), before);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM unitam"), "1");
}

// Journals written before the checks were recorded, by an older program, are brought up to
// date and their runs undone.
TEST_F(JournalTest, AJournalOfTheSecondLayoutIsUpgradedAndUndone) {
    std::string before = allTables(t);
    update();
    {
        auto dbConnection = t.openStoreDb();
        store::Database& db = *dbConnection;
        history::attachHistory(db, t.storeFile());
        test::backToJournalVersion3(db, "storia");
        db.exec(
            "DROP TABLE storia.check_runs; DROP TABLE storia.check_cleared; DROP TABLE "
            "storia.check_rows;");
        db.setUserVersion(2, "storia");
    }
    EXPECT_EQ(history::labelsToReprint(t.session, std::nullopt).labels.size(), 2u);
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(t.session, std::nullopt, m));
    EXPECT_EQ(allTables(t), before);
    auto dbConnection = t.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, t.storeFile());
    EXPECT_EQ(db.userVersion("storia"), history::kJournalVersion);
    EXPECT_TRUE(db.tableExists("check_runs", "storia"));
}

}  // namespace
}  // namespace cl
