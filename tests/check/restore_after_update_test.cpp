// A check put back after an update, and an update undone after a newer check: the review rows
// and the marks as the operator agreed, with the counts the questions gave.
#include "app/who.h"
#include "check_fixture.h"
#include "history/journal.h"
#include "history/price_history.h"
#include "history/restore_check.h"
#include "history/undo.h"
#include "update/update_run.h"

namespace cl::test {
namespace {

using check::RunOutcome;

class RestoreAfterUpdate : public CheckFixture {
  protected:
    RestoreAfterUpdate() {
        t.session.state.nome_fornitore = "ROSSI SPA";
        for (int code : {1, 2, 3}) {
            std::string ean = "800000000000" + std::to_string(code);
            central(code, "ARTICOLO " + std::to_string(code), ean, "1.5", "2.5");
            storeArticle(code, ean, "1", "2");
        }
    }
    // "Aggiorna" on the rows whose numbers are given, the others unselected.
    void applyRows(const std::string& bnsList) {
        t.exec("UPDATE variatil SET sel = CASE WHEN bns IN (" + bnsList + ") THEN 'X' ELSE '' END");
        review::UpdateSettings settings;
        settings.kpre = true;
        review::ReviewFilter filter;
        filter.supplier = 12;
        filter.selectedOnly = true;
        auto db = t.session.openStore(true);
        review::applyUpdate(t.session.state, *db, settings, filter, messages, progress);
    }
    bool restore(std::initializer_list<Answer> answers) {
        messages.shown.clear();
        messages.answers = answers;
        return history::restoreCheck(t.session, std::nullopt, messages);
    }
    bool undo() {
        messages.shown.clear();
        messages.answers = {Answer::Yes};
        return history::undoUpdate(t.session, std::nullopt, messages);
    }
    std::string markedCodes() {
        std::string out;
        for (int code : {1, 2, 3, 4})
            if (t.scalarFixed("SELECT artvariato FROM articolo WHERE codart = " +
                              std::to_string(code)) == "S")
                out += std::to_string(code);
        return out;
    }
    const std::string& said(size_t i) { return messages.shown.at(i).text; }
};

// check; select; apply; restore-check (every article marked again); a newer check; undo.
TEST_F(RestoreAfterUpdate, UndoAfterANewerCheckDiscardsEveryRowOfItAndSaysHowMany) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    ASSERT_EQ(rows(), 3);
    applyRows("1");
    ASSERT_EQ(rows(), 2);
    ASSERT_TRUE(restore({Answer::Yes, Answer::Yes}));
    EXPECT_EQ(markedCodes(), "123");
    EXPECT_EQ(rows(), 0);
    messages.answers.clear();
    ASSERT_EQ(check().outcome, RunOutcome::Done);  // numbers 1 to 3 again
    ASSERT_EQ(rows(), 3);

    ASSERT_TRUE(undo());
    EXPECT_NE(said(0).find("le sue 3 righe da rivedere verranno scartate"), std::string::npos)
        << said(0);
    // The row the update consumed, alone and as it was: no second row of its barcode.
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(field("codart || ':' || ea1art || ':' || sel"), "1:8000000000001:X");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil GROUP BY ea1art HAVING count(*) > 1"), "");
}

TEST_F(RestoreAfterUpdate, ArticlesAppliedSinceAreMarkedAgainOnlyWhenTheOperatorSaysSo) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    applyRows("1");
    ASSERT_TRUE(restore({Answer::Yes, Answer::No}));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_NE(said(0).find("2 articoli verranno segnati di nuovo come variati e 2 righe non "
                           "ancora aggiornate verranno tolte dalla revisione."),
              std::string::npos)
        << said(0);
    EXPECT_NE(said(0).find("1 articolo da segnare di nuovo è stato aggiornato dopo il controllo"),
              std::string::npos)
        << said(0);
    EXPECT_NE(said(1).find("Segnare di nuovo come variati anche questi?"), std::string::npos);
    EXPECT_EQ(messages.shown[1].title, history::kRestoreTitle);
    EXPECT_NE(said(2).find(": 2 articoli di nuovo da controllare."), std::string::npos) << said(2);
    EXPECT_EQ(markedCodes(), "23");  // the price applied by the update is not proposed again
}

TEST_F(RestoreAfterUpdate, SaidYesOrDecidedBeforehandOrTheUpdateUndone) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    applyRows("1, 2, 3");
    const std::string before = t.dump("articolo", true) + t.dump("variatil");
    // "No" to the question about the applied ones, with nothing else to do: nothing changes.
    ASSERT_FALSE(restore({Answer::Yes, Answer::No}));
    EXPECT_NE(messages.shown.back().text.find("Nessun articolo da segnare di nuovo"),
              std::string::npos);
    EXPECT_EQ(t.dump("articolo", true) + t.dump("variatil"), before);

    // Decided beforehand (the command line's --include-applied): no second question.
    messages.shown.clear();
    messages.answers = {Answer::Yes};
    ASSERT_TRUE(history::restoreCheck(t.session, std::nullopt, messages, true));
    EXPECT_NE(said(0).find("verranno segnati di nuovo anch'essi"), std::string::npos) << said(0);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(markedCodes(), "123");
}

TEST_F(RestoreAfterUpdate, AnUndoneUpdateAppliedNothing) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    applyRows("1");
    ASSERT_TRUE(undo());
    ASSERT_TRUE(restore({Answer::Yes}));
    EXPECT_EQ(said(0).find("dopo il controllo"), std::string::npos) << said(0);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(markedCodes(), "123");
}

// After a new delivery of the central database a code may name another product: its barcodes
// (or, without any, its description) are no longer those the check saw.
TEST_F(RestoreAfterUpdate, ACodeThatNowNamesAnotherProductIsNotMarkedAgain) {
    central(4, "PANE SFUSO", "", "1", "2");
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    t.execFixed(
        "UPDATE codean SET eanare = '8009999999999' WHERE codare = 2;"
        "UPDATE articolo SET desart = 'ALTRO PRODOTTO' WHERE codart = 2;"
        "UPDATE articolo SET desart = 'BISCOTTI' WHERE codart = 4;"
        "INSERT INTO codean (eanare, codare) VALUES ('8008888888888', 3);"
        "UPDATE articolo SET desart = 'articolo 1' WHERE codart = 1");
    ASSERT_TRUE(restore({Answer::Yes}));
    EXPECT_NE(said(0).find("2 articoli verranno segnati di nuovo come variati"), std::string::npos)
        << said(0);
    EXPECT_NE(said(0).find("2 articoli non vengono segnati di nuovo: una consegna più recente ha "
                           "dato il codice a un altro prodotto (2, 4)."),
              std::string::npos)
        << said(0);
    EXPECT_EQ(markedCodes(), "13");

    // Nothing else left: refused, naming them.
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    t.execFixed("UPDATE codean SET eanare = '8007777777777' WHERE codare = 1");
    t.execFixed("DELETE FROM codean WHERE codare = 3");
    try {
        restore({Answer::Yes});
        ADD_FAILURE() << "the restore should be refused";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("il loro codice indica ora un altro prodotto (1, 3)"),
                  std::string::npos)
            << e.what();
    }
}

// Several back-office PCs work on one store: the journal says who did what.
TEST_F(RestoreAfterUpdate, EveryCheckUpdateUndoAndRestoreRecordsTheUserAndThePc) {
    ASSERT_EQ(check().outcome, RunOutcome::Done);
    applyRows("1");
    ASSERT_TRUE(undo());
    ASSERT_TRUE(restore({Answer::Yes}));
    const Who& here = whoIsHere();
    ASSERT_FALSE(here.user.empty());
    ASSERT_FALSE(here.pc.empty());

    auto db = t.session.openStore(true);
    history::attachHistory(*db, t.storeFile());
    auto checks = history::listChecks(*db);
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].byUser + "@" + checks[0].byPc, here.user + "@" + here.pc);
    EXPECT_EQ(checks[0].restoredByUser + "@" + checks[0].restoredByPc, here.user + "@" + here.pc);
    auto changes = history::articleHistory(t.session, 1).changes;
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(describeWho(changes[0].byUser, changes[0].byPc), here.user + " su " + here.pc);
    EXPECT_EQ(history::changeNote(changes[0]), "annullato da " + here.user + " su " + here.pc);
}

}  // namespace
}  // namespace cl::test
