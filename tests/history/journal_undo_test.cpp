// The journal against stores that other programs shaped: names the journal uses itself, columns
// renamed or case-changed, hand edits, checks made after an update, odd folders and files.
#include <gtest/gtest.h>

#include <thread>

#include "history/journal_fixture.h"
#include "history/journal_schema.h"
#include "history/labels.h"
#include "history/price_history.h"
#include "history/undo.h"
#include "support/moment_text.h"
#include "support/older_journal.h"
#include "support/temp_dir.h"
#include "support/test_engine.h"

namespace cl {
namespace {

std::string undoRefusal(test::TempStore& t) {
    test::RecordingMessages m;
    m.answers = {Answer::Yes, Answer::Yes};
    try {
        history::undoUpdate(t.session, std::nullopt, m);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

bool undo(test::TempStore& t, test::RecordingMessages& m) {
    return history::undoUpdate(t.session, std::nullopt, m);
}

TEST_F(JournalTest, TablesNamedLikeTheJournalsElsewhereNeverReceiveItsRows) {
    // A store and an article database (converted from outside) that happen to hold tables with
    // the journal's names and a layout that would take its rows.
    const std::string lookalikes =
        "CREATE TABLE changes (id INTEGER PRIMARY KEY, run INTEGER, tbl TEXT, op TEXT, row "
        "INTEGER, article INTEGER);"
        "CREATE TABLE runs (id INTEGER PRIMARY KEY, day TEXT, at TEXT, kind TEXT, supplier "
        "INTEGER, supplier_name TEXT, options TEXT, undone_at TEXT);"
        "CREATE TABLE before_listi01 AS SELECT 0 AS change, * FROM listi01 WHERE 1 = 0;"
        "CREATE TABLE after_listi01 AS SELECT 0 AS change, * FROM listi01 WHERE 1 = 0;"
        "CREATE TABLE cl_journal_changes (id INTEGER PRIMARY KEY, tbl TEXT, op TEXT, row "
        "INTEGER, article INTEGER);";
    t.exec(lookalikes);
    t.execFixed(
        "CREATE TABLE changes (id INTEGER PRIMARY KEY, run INTEGER, tbl TEXT, op TEXT, row "
        "INTEGER, article INTEGER);"
        "CREATE TABLE before_codean (change INTEGER, eanare TEXT, codare INTEGER, prezzo REAL, "
        "primasecon TEXT);");
    std::string before = allTables(t);
    update({}, true);
    for (const char* table : {"changes", "before_listi01", "after_listi01", "cl_journal_changes"})
        EXPECT_EQ(t.scalar(std::string("SELECT count(*) FROM ") + table), "0") << table;
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM changes"), "0");
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM before_codean"), "0");
    EXPECT_EQ(history::articleHistory(t.session, 1).changes.size(), 1u);
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, m));
    EXPECT_EQ(allTables(t), before);
}

TEST_F(JournalTest, AnIncompleteRecordIsNeverUndoneIntoBlankRows) {
    update();
    std::string after = allTables(t);
    {
        auto dbConnection = t.openStoreDb();
        store::Database& db = *dbConnection;
        history::attachHistory(db, t.storeFile());
        db.exec("DELETE FROM storia.before_listi01");
    }
    EXPECT_NE(undoRefusal(t).find("incompleto"), std::string::npos);
    EXPECT_EQ(allTables(t), after);
}

TEST_F(JournalTest, ColumnsRenamedInAnotherCaseAreTheSameColumns) {
    std::string before = allTables(t);
    update();
    t.exec(
        "ALTER TABLE listi01 RENAME COLUMN przpub TO PRZPUB; "
        "ALTER TABLE codean RENAME COLUMN codare TO CODARE");
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, m));
    EXPECT_EQ(allTables(t), before);
    // A later update finds the journal's copies as they are: no "duplicate column".
    update();
    EXPECT_EQ(t.scalar("SELECT PRZPUB FROM listi01 WHERE codart = 1"), "2.7");
    m.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, m));
    EXPECT_EQ(allTables(t), before);
}

TEST_F(JournalTest, StoreColumnsNamedLikeTheJournalsOwnKeepTheirValues) {
    t.exec(
        "ALTER TABLE listi01 ADD COLUMN change TEXT; ALTER TABLE listi01 ADD COLUMN v_change "
        "INTEGER;"
        "UPDATE listi01 SET change = 'nota ' || codart, v_change = codart * 10");
    std::string before = allTables(t);
    update([](Journal& journal, store::Database&) {
        journal.updateRows("listi01", {{"change", "cambiata"}, {"v_change", 0}},
                           " WHERE codart = 1");
    });
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, m));
    EXPECT_EQ(allTables(t), before);
}

TEST_F(JournalTest, AnOlderJournalIsUpgradedAndStillUndone) {
    // A journal as the first layout left it: copies under the store's own column names.
    std::string before = allTables(t);
    update();
    {
        auto dbConnection = t.openStoreDb();
        store::Database& db = *dbConnection;
        history::attachHistory(db, t.storeFile());
        store::Transaction tx(db);
        test::backToJournalVersion3(db, "storia");
        for (const char* side : {"before_", "after_"})
            for (const auto& table : history::journaledTables())
                for (const auto& c : db.columns(side + table, "storia"))
                    if (c.rfind("v_", 0) == 0)
                        db.exec("ALTER TABLE storia." + std::string(side) + table +
                                " RENAME COLUMN \"" + c + "\" TO \"" + c.substr(2) + "\"");
        db.exec("ALTER TABLE storia.runs DROP COLUMN review_left; DROP TABLE storia.review_left");
        db.setUserVersion(1, "storia");
        tx.commit();
    }
    EXPECT_EQ(history::articleHistory(t.session, 1).changes.size(), 1u);  // read as it is
    EXPECT_EQ(history::labelsToReprint(t.session, std::nullopt).labels.size(), 2u);
    // That layout kept no record of the review left: a newer check shows by its numbers.
    t.exec("INSERT INTO variatil (bns, codart, desart) VALUES (1, 2, 'LATTE'), (5, 1, 'PANE')");
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, m));
    EXPECT_NE(m.shown.at(0).text.find("le sue 2 righe"), std::string::npos) << m.shown[0].text;
    EXPECT_EQ(allTables(t), before);
    auto dbConnection = t.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, t.storeFile());
    EXPECT_EQ(db.userVersion("storia"), history::kJournalVersion);
}

TEST_F(JournalTest, AHandEditOfLetterCaseOnlyBlocksTheUndo) {
    update();
    t.exec("UPDATE listi01 SET desart = 'Latte Intero' WHERE codart = 2");
    std::string edited = allTables(t);
    EXPECT_NE(undoRefusal(t).find("articolo 2"), std::string::npos);
    EXPECT_EQ(allTables(t), edited);
}

TEST_F(JournalTest, UndoAfterANewerCheckBringsBackTheConsumedReviewAlone) {
    std::string before = allTables(t);
    update();
    // A newer check fills the review again, numbering from 1.
    t.exec(
        "INSERT INTO variatil (bns, codart, desart, prezpubv) VALUES "
        "(1, 2, 'LATTE INTERO', 1.29), (2, 1, 'PANE', 2.7), (3, 3, 'NUOVO', 3.1)");
    std::string newer = allTables(t);
    test::RecordingMessages no;
    EXPECT_FALSE(undo(t, no));
    EXPECT_EQ(allTables(t), newer);
    ASSERT_EQ(no.shown.size(), 1u);
    const std::string& question = no.shown[0].text;
    EXPECT_NE(question.find("nuovo controllo"), std::string::npos) << question;
    EXPECT_NE(question.find("3 righe"), std::string::npos) << question;
    // The moment of the update as the grid shows it, not as the journal stores it.
    EXPECT_TRUE(test::holdsMoment(question, " del ", " (")) << question;

    test::RecordingMessages yes;
    yes.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, yes));
    EXPECT_EQ(allTables(t), before);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil GROUP BY bns HAVING count(*) > 1"), "");
}

TEST_F(JournalTest, UndoingAChainSetsAsideTheReviewOfEveryCheckBetween) {
    std::string before = allTables(t);
    long long first = update();
    // A check between the two runs, whose rows the second run consumes.
    t.exec("INSERT INTO variatil (bns, codart, desart, prezpubv) VALUES (1, 1, 'PANE', 2.7)");
    {
        auto db = t.session.openStore();
        history::Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        journal.updateRows("listi01", {{"przpub", 2.9}}, " WHERE codart = 1");
        journal.deleteRows("variatil", "");
        journal.endRun();
        tx.commit();
    }
    test::RecordingMessages m;
    m.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(t.session, first, m));
    EXPECT_EQ(allTables(t), before);
}

TEST_F(JournalTest, RowsTheRunLeftInTheReviewStayBesideTheRestoredOnes) {
    t.exec("INSERT INTO variatil (bns, codart, desart, prezpubv) VALUES (3, 2, 'LATTE', 1.29)");
    long long run = 0;
    {
        auto db = t.session.openStore();
        history::Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        run = journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        journal.updateRows("listi01", {{"przpub", 2.7}}, " WHERE codart = 1");
        journal.deleteRows("variatil", " WHERE bns IN (1, 2)");
        journal.endRun();
        tx.commit();
    }
    t.exec("UPDATE variatil SET sel = 'X' WHERE bns = 3");  // the review goes on
    test::RecordingMessages m;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(undo(t, m));
    EXPECT_EQ(m.shown.at(0).text.find("nuovo controllo"), std::string::npos);
    std::string review;
    auto db = t.openStoreDb();
    auto st = db->prepare("SELECT bns, coalesce(sel, '-') FROM variatil ORDER BY bns");
    while (st.step())
        review += (review.empty() ? "" : " ") + st.value(0).text() + ":" + st.value(1).text();
    st.reset();
    EXPECT_EQ(review, "1:- 2:- 3:X");
    EXPECT_GT(run, 0);
}

// Two first updates at once each find the journal made, whole, by one of them.
TEST(JournalFile, MadeAtOnceByManyIsMadeOnceAndWhole) {
    for (int round = 0; round < 10; ++round) {
        test::TempStore t;
        std::vector<std::string> errors(4);
        std::vector<std::thread> threads;
        for (size_t i = 0; i < errors.size(); ++i)
            threads.emplace_back([&, i] {
                try {
                    auto dbConnection = t.openStoreDb();
                    store::Database& db = *dbConnection;
                    history::attachHistory(db, t.storeFile());
                    history::listRuns(db);
                } catch (const std::exception& e) {
                    errors[i] = e.what();
                }
            });
        for (auto& th : threads) th.join();
        for (const auto& e : errors) EXPECT_EQ(e, "") << "round " << round;
        // On a server the journal is a schema of the installation: no file to count.
        if (test::onServerEngine()) continue;
        size_t files = 0;
        for (const auto& f : std::filesystem::directory_iterator(t.storeFile().parent_path()))
            files += f.path().filename().string().rfind("DATI.history", 0) == 0;
        EXPECT_EQ(files, 1u) << "no temporary file left behind";
    }
}

// A folder with characters a URI would read: '#' starts a fragment, '%' an escape, '?' a query.
TEST(JournalFile, FoldersWithUriCharactersAreReadAsPlainPaths) {
    test::TempDir dir;
    auto folder = dir.path / "negozio #2 %41 ?mode=rw";
    std::filesystem::create_directories(folder);
    {
        auto madeConnection = store::openDatabase(folder / "a.db", store::OpenMode::Create);
        store::Database& made = *madeConnection;
        made.exec("CREATE TABLE t (x); INSERT INTO t VALUES (42)");
        auto otherConnection = store::openDatabase(folder / "b.db", store::OpenMode::Create);
        store::Database& other = *otherConnection;
        other.exec("CREATE TABLE u (y)");
    }
    auto dbConnection = store::openDatabase(folder / "b.db");
    store::Database& db = *dbConnection;
    db.attach(folder / "a.db", "altro", store::OpenMode::ReadOnly);
    auto st = db.prepare("SELECT x FROM altro.t");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).integer(), 42);
    st.reset();
    EXPECT_THROW(db.exec("INSERT INTO altro.t VALUES (1)"), Error);  // read-only as asked
}

}  // namespace
}  // namespace cl

namespace cl {
namespace {

TEST_F(JournalTest, RowsALaterRunChangedAreListedByTableAndRowWithTheirArticle) {
    const long long first = update();
    auto db = t.session.openStore();
    long long second = 0;
    {
        Journal journal(*db, t.storeFile());
        store::Transaction tx(*db);
        second = journal.beginRun({"Aggiorna", 12, "FORNITORE SPA", "kpre"});
        journal.updateRows("listi01", {{"przpub", 9.9}}, " WHERE codart IN (2, 1)");
        journal.updateRows("codean", {{"prezzo", 9.9}}, " WHERE eanare = '8000000000024'");
        journal.endRun();
        tx.commit();
    }
    const auto conflicts = history::conflictsOf(*db, first);
    std::vector<std::string> listed;
    for (const auto& c : conflicts) {
        EXPECT_EQ(c.laterRun, second) << c.describe();
        listed.push_back(c.describe());
    }
    EXPECT_EQ(listed, (std::vector<std::string>{
                          "tabella codean, riga 2 (articolo 3): modificata dall'aggiornamento " +
                              std::to_string(second),
                          "tabella listi01, riga 1 (articolo 1): modificata dall'aggiornamento " +
                              std::to_string(second),
                          "tabella listi01, riga 2 (articolo 2): modificata dall'aggiornamento " +
                              std::to_string(second)}));
}

}  // namespace
}  // namespace cl
