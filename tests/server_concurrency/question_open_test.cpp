// A question on one workstation never blocks another: while the check, the update or the undo
// waits for the operator's answer, another workstation writes to the same server database at
// once; once answered, the command goes on.
#include <gtest/gtest.h>

#include "check/check_commands.h"
#include "check/check_state.h"
#include "history/undo.h"
#include "server_store.h"
#include "support/workstation.h"
#include "update/update_summary.h"

namespace cl::test {
namespace {

class QuestionOpen : public ServerStoreTest {
  protected:
    void SetUp() override {
        ServerStoreTest::SetUp();
        if (IsSkipped()) return;
        seed(200);
        ASSERT_FALSE(refused(runCheck(session())));
    }
    // While each question is open, another workstation writes to the store and the articles.
    void othersWriteWhileAsked(WaitingMessages& m) {
        m.whileAsked = [this](const std::string&) {
            const std::string n = std::to_string(100 + writes.size());
            writes.push_back(writeOnServerFromAnotherProcess(
                session().server, "main",
                "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (" + n +
                    ", 'ALTRA POSTAZIONE')"));
            writes.push_back(writeOnServerFromAnotherProcess(
                session().server, "fisso",
                "INSERT INTO codean (eanare, codare) VALUES ('99900000000" + n + "', 9" + n + ")"));
        };
    }
    void expectAllWrittenMeanwhile(size_t count) {
        ASSERT_EQ(writes.size(), count);
        for (const auto& w : writes) expectWrittenMeanwhile(w);
        EXPECT_EQ(ts->scalar("SELECT count(*) FROM fornitori WHERE codfornitore >= 100"),
                  std::to_string(count / 2));
    }
    std::vector<OtherWrite> writes;
};

TEST_F(QuestionOpen, CheckAskingAboutTheUnappliedReview) {
    markCentralAgain();
    Session s = session();
    check::CheckScreenState screen;
    check::presetAtStartUp(screen, s.state, std::nullopt, std::nullopt);
    s.state.codice_fornitore = kSupplier;
    WaitingMessages m;
    m.answers = {Answer::Yes, Answer::Yes};
    othersWriteWhileAsked(m);
    NullProgress progress;
    auto r = check::runArticleCheck(s, screen, m, progress);
    EXPECT_EQ(r.outcome, check::RunOutcome::Done);
    EXPECT_EQ(r.counts.examined, 200);
    expectAllWrittenMeanwhile(2);
}

TEST_F(QuestionOpen, UpdateShowingItsSummary) {
    Session s = session();
    auto settings = review::settingsAfterReviewLoad(std::nullopt);
    settings.aggcodafo = true;
    review::ReviewFilter filter;
    filter.supplier = kSupplier;
    filter.selectedOnly = true;
    WaitingMessages m;
    m.answers = {Answer::Yes};
    othersWriteWhileAsked(m);
    NullProgress progress;
    auto db = s.openStore(true);
    auto r = review::applyUpdateAfterSummary(s.state, *db, settings, filter, m, progress);
    EXPECT_TRUE(r.performed);
    EXPECT_GT(r.aggiornati, 0);
    expectAllWrittenMeanwhile(2);
    EXPECT_EQ(ts->scalar("SELECT count(*) FROM variatil"), "0");
}

TEST_F(QuestionOpen, UndoAskingWhetherToGoOn) {
    const std::string review = ts->scalar("SELECT count(*) FROM variatil");
    ASSERT_FALSE(refused(runUpdate(session())));
    ASSERT_EQ(ts->scalar("SELECT count(*) FROM variatil"), "0");
    WaitingMessages m;
    m.answers = {Answer::Yes};
    othersWriteWhileAsked(m);
    Session s = session();
    EXPECT_TRUE(history::undoUpdate(s, std::nullopt, m));
    expectAllWrittenMeanwhile(2);
    EXPECT_EQ(ts->scalar("SELECT count(*) FROM variatil"), review);
}

}  // namespace
}  // namespace cl::test
