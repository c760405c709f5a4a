#include "history/journal.h"
#include "history/labels.h"
#include "history/undo.h"
#include "update_fixture.h"

namespace cl::test {
namespace {

// quote() keeps the type of every value: 12 and 12.0, '' and NULL differ.
std::string typed(TempStore& ts) {
    auto dbConnection = store::openDatabase(ts.storeFile());
    store::Database& db = *dbConnection;
    std::string out;
    for (const char* t : {"listi01", "codean", "listi02", "fistini", "variatil"}) {
        std::string cols;
        for (const auto& c : db.columns(t)) cols += ", quote(\"" + c + "\")";
        auto st = db.prepare(std::string("SELECT rowid") + cols + " FROM " + t + " ORDER BY rowid");
        while (st.step()) {
            for (int i = 0; i < st.columnCount(); ++i) out += st.value(i).text() + "|";
            out += "\n";
        }
    }
    return out;
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
};

TEST_F(UpdateUndoTest, UndoAfterARealUpdateGivesBackTheTablesByteForByte) {
    std::string before = typed(ts);
    auto result = run();
    ASSERT_TRUE(result.performed);
    EXPECT_GT(result.run, 0);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
    ASSERT_NE(typed(ts), before);

    auto labels = history::etichetteDaRistampare(ts.session, std::nullopt);
    // The labels are exactly the articles whose sale price the update changed or created.
    EXPECT_EQ(std::to_string(labels.labels.size()),
              q("SELECT count(*) FROM listi01 WHERE codart <> 12 OR przpub <> 15"));

    RecordingMessages answers;
    answers.answers = {Answer::Yes};
    EXPECT_TRUE(history::annullaAggiornamento(ts.session, std::nullopt, answers));
    EXPECT_EQ(typed(ts), before);
}

TEST_F(UpdateUndoTest, FailedUpdateLeavesNoJournalEntry) {
    ts.exec(
        "CREATE TRIGGER boom AFTER INSERT ON codean BEGIN SELECT RAISE(ABORT, 'disco guasto'); "
        "END");
    EXPECT_THROW(run(), Error);
    auto dbConnection = store::openDatabase(ts.storeFile());
    store::Database& db = *dbConnection;
    history::attachHistory(db, ts.storeFile());
    EXPECT_TRUE(history::listRuns(db).empty());
}

}  // namespace
}  // namespace cl::test
