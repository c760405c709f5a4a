#include "history/journal.h"
#include "history/labels.h"
#include "history/undo.h"
#include "support/failing_writes.h"
#include "support/test_engine.h"
#include "support/typed_rows.h"
#include "update/update_store.h"
#include "update_fixture.h"

namespace cl::test {
namespace {

// Every value with its kind: 12 and 12.0, '' and NULL differ.
std::string typed(TempStore& ts) {
    auto dbConnection = ts.openStoreDb();
    std::string out;
    for (const char* t : {"listi01", "codean", "listi02", "fistini", "variatil"})
        out += typedTable(*dbConnection, t);
    return out;
}

std::string rowsOf(store::Database& db, const std::string& table) {
    if (!db.tableExists(table, "storia")) return "-";
    auto st = db.prepare("SELECT count(*) FROM storia.\"" + table + "\"");
    std::string n = st.step() ? st.value(0).text() : "";
    st.reset();
    return n;
}

class UpdateUndoTest : public UpdateTest {
  protected:
    void SetUp() override {
        UpdateTest::SetUp();
        settings.kcos = true;
        insert("listi01", {{"codart", 12},
                           {"desart", "PANE"},
                           {"przpub", 15},
                           {"cofart", 9.5},
                           {"ivart", "22"},
                           {"codafo", "000000012       "}});
        insert("codean", {{"eanare", "8000000000123"},
                          {"codare", 12},
                          {"prezzo", 15},
                          {"aggi", "A"},
                          {"pezzix", 1}});
        insert("codean", {{"eanare", "8000000000444"}, {"codare", 7}, {"prezzo", 2}});
        // An update of article 12, a new article with a new barcode, a new article taking
        // over an existing barcode, one without barcode.
        variatil({{"codart", 12},
                  {"ea1art", "8000000000123"},
                  {"desart", "PANE"},
                  {"coston", 10},
                  {"ivart", "22"},
                  {"prezpubv", 16.5},
                  {"codafo", "000000012"}});
        variatil({{"codart", 0},
                  {"ea1art", "8000000000555"},
                  {"desart", "LATTE DELL'ORTO"},
                  {"coston", 1},
                  {"ivart", "4"},
                  {"prezpubv", 1.59},
                  {"codafo", "000000555"},
                  {"umart", "LT"}});
        variatil({{"codart", 0},
                  {"ea1art", "8000000000444"},
                  {"desart", "UOVA"},
                  {"coston", 2},
                  {"ivart", "10"},
                  {"prezpubv", 3.2},
                  {"codafo", "000000444"}});
        variatil({{"codart", 0},
                  {"ea1art", "0000000000000"},
                  {"desart", "SFUSO"},
                  {"coston", 3},
                  {"ivart", "10"},
                  {"prezpubv", 4.4},
                  {"codafo", "000000666"}});
    }
    // The first value of each row read with the journal attached, the rows joined by " ".
    std::string inJournal(const std::string& sql) {
        auto dbConnection = ts.openStoreDb();
        store::Database& db = *dbConnection;
        history::attachHistory(db, ts.storeFile());
        auto st = db.prepare(sql);
        std::string out;
        for (bool first = true; st.step(); first = false)
            out += (first ? "" : " ") + st.value(0).text();
        st.reset();
        return out;
    }
};

TEST_F(UpdateUndoTest, UndoAfterARealUpdateGivesBackTheTablesByteForByte) {
    std::string before = typed(ts);
    auto result = run();
    ASSERT_TRUE(result.performed);
    EXPECT_GT(result.run, 0);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
    ASSERT_NE(typed(ts), before);

    auto labels = history::labelsToReprint(ts.session, std::nullopt);
    // The labels are exactly the articles whose sale price the update changed or created.
    EXPECT_EQ(std::to_string(labels.labels.size()),
              q("SELECT count(*) FROM listi01 WHERE codart <> 12 OR przpub <> 15"));

    RecordingMessages answers;
    answers.answers = {Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(ts.session, std::nullopt, answers));
    EXPECT_EQ(typed(ts), before);
}

TEST_F(UpdateUndoTest, FailedUpdateLeavesNoJournalEntry) {
    failWrites(ts, "boom", "AFTER", "INSERT", "codean", "", "disco guasto");
    EXPECT_THROW(run(), Error);
    auto dbConnection = ts.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, ts.storeFile());
    EXPECT_TRUE(history::listRuns(db).empty());
}

// How many rows each journal table of the history file holds ("-" for a table it lacks).
std::string journalRows(TempStore& ts) {
    auto dbConnection = ts.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, ts.storeFile());
    std::string out;
    for (std::string t : {"runs", "changes", "review_left"}) out += t + "=" + rowsOf(db, t) + " ";
    for (const auto& table : history::journaledTables())
        for (std::string side : {"before_", "after_"})
            out += side + table + "=" + rowsOf(db, side + table) + " ";
    return out;
}

TEST_F(UpdateUndoTest, EveryWriteOfTheRunIsRecordedOnceWithItsCopies) {
    auto result = run();
    ASSERT_TRUE(result.performed);
    // Article 12 and its barcode updated; three articles created with their supplier rows (and
    // 12's), the price-list header, a new barcode; the existing barcode the second creation
    // found takes its supplier code and price; the four review rows consumed.
    EXPECT_EQ(inJournal("SELECT tbl || ':' || op || '=' || count(*) FROM storia.changes GROUP BY "
                        "tbl, op ORDER BY tbl, op"),
              "codean:I=1 codean:U=2 fistini:I=1 listi01:I=3 listi01:U=1 listi02:I=4 "
              "variatil:D=4");
    auto dbConnection = ts.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, ts.storeFile());
    EXPECT_TRUE(history::conflictsOf(db, result.run).empty());
    EXPECT_EQ(history::incompleteChanges(db, result.run), 0);
}

TEST_F(UpdateUndoTest, CreatedArticlesAndTheirBarcodesGoAwayOnUndo) {
    const std::string found =
        "SELECT codare, codafo, prezzo FROM codean WHERE eanare = '8000000000444'";
    auto barcode = [&] { return typedRows(*ts.openStoreDb(), found); };
    const std::string original = barcode();
    // On files the price keeps the whole number it was written as.
    if (!onServerEngine()) {
        EXPECT_EQ(original, "7|NULL|2|\n");
    }
    auto result = run();
    ASSERT_EQ(result.creati, 3);
    const std::string created =
        "SELECT count(*) FROM listi01 WHERE desart LIKE 'LATTE%' OR desart LIKE 'UOVA%' OR "
        "desart LIKE 'SFUSO%'";
    ASSERT_EQ(q(created), "3");
    ASSERT_EQ(q("SELECT count(*) FROM codean WHERE eanare = '8000000000555'"), "1");
    ASSERT_NE(barcode(), original);
    RecordingMessages answers;
    answers.answers = {Answer::Yes};
    EXPECT_TRUE(history::undoUpdate(ts.session, std::nullopt, answers));
    EXPECT_EQ(q(created), "0");
    EXPECT_EQ(q("SELECT count(*) FROM codean WHERE eanare = '8000000000555'"), "0");
    EXPECT_EQ(barcode(), original);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "4");
}

TEST_F(UpdateUndoTest, AFailureHalfWayLeavesNoJournalRowsAndTheNextRunIsWhole) {
    std::string tables = typed(ts);
    std::string journal = journalRows(ts);
    // Article 12 is written first; the run fails on the new barcode of the second row.
    failWrites(ts, "boom", "BEFORE", "INSERT", "codean", "NEW.eanare = '8000000000555'",
               "disco guasto");
    EXPECT_THROW(run(), Error);
    EXPECT_EQ(typed(ts), tables);
    EXPECT_EQ(journalRows(ts), journal);
    allowWrites(ts, "boom", "codean");
    auto result = run();
    auto dbConnection = ts.openStoreDb();
    store::Database& db = *dbConnection;
    history::attachHistory(db, ts.storeFile());
    EXPECT_EQ(history::incompleteChanges(db, result.run), 0);
}

TEST_F(UpdateUndoTest, ACopyTheJournalDropsFailsTheWholeRun) {
    {
        auto dbConnection = ts.openStoreDb();
        store::Database& db = *dbConnection;
        history::attachHistory(db, ts.storeFile());
        // The journal quietly refuses the copy of a changed barcode.
        db.exec("CREATE TABLE storia.after_codean (change INTEGER PRIMARY KEY)");
        db.exec(onServerEngine()
                    ? "CREATE FUNCTION storia.lost() RETURNS trigger LANGUAGE plpgsql AS "
                      "$body$ BEGIN RETURN NULL; END $body$;"
                      "CREATE TRIGGER lost BEFORE INSERT ON storia.after_codean FOR EACH ROW "
                      "EXECUTE FUNCTION storia.lost()"
                    : "CREATE TRIGGER storia.lost BEFORE INSERT ON after_codean BEGIN SELECT "
                      "RAISE(IGNORE); END");
    }
    std::string tables = typed(ts);
    try {
        run();
        FAIL() << "a change without its copy must fail the run";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("registro"), std::string::npos) << e.what();
    }
    EXPECT_EQ(typed(ts), tables);
    EXPECT_EQ(inJournal("SELECT count(*) FROM storia.changes"), "0");
}

TEST_F(UpdateUndoTest, LookUpsAloneCannotWrite) {
    std::string tables = typed(ts);
    auto dbConnection = ts.openStoreDb();
    store::Database& db = *dbConnection;
    review::UpdateStore lookups(db);
    EXPECT_TRUE(lookups.articolo(12));
    EXPECT_THROW(lookups.add("listi01", {{"codart", 99}}), Error);
    EXPECT_THROW(lookups.edit("listi01", lookups.articolo(12)->row, {{"przpub", 1}}), Error);
    EXPECT_EQ(typed(ts), tables);
}

}  // namespace
}  // namespace cl::test
