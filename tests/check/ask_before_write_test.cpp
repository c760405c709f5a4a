// A check asks its questions before it takes the write lock: while a question is on screen,
// other workstations write to the store and the article database; once answered, the run
// re-checks what the answer was about and stops cleanly when it no longer holds.
#include <gtest/gtest.h>

#include "app/work_table.h"
#include "check/check_commands.h"
#include "check/check_record.h"
#include "check/run_support.h"
#include "check_fixture.h"
#include "history/check_journal.h"
#include "history/journal.h"
#include "history/restore_check.h"
#include "store/error.h"
#include "support/cli_runner.h"
#include "support/other_process.h"
#include "support/terminal_runner.h"

namespace cl::test {
namespace {

constexpr const char* kReviewQuestion = "Eseguire ugualmente il nuovo controllo ?";
constexpr const char* kSupplierQuestion = "non è quello dell'ultimo controllo";

class AskBeforeWrite : public CheckFixture {
  protected:
    AskBeforeWrite() {
        t.session.state.nome_fornitore = "ROSSI SPA";
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (27, 'FRUTTA SRL')");
        for (int code : {1, 2, 3}) {
            std::string ean = "800000000000" + std::to_string(code);
            central(code, "ARTICOLO " + std::to_string(code), ean, "1.5", "2.5");
            storeArticle(code, ean, "1", "2");
        }
    }
    // A first check leaves a review never applied; the articles come in changed again.
    check::RunReport reviewLeftOver() {
        auto first = check();
        EXPECT_EQ(first.outcome, check::RunOutcome::Done);
        EXPECT_EQ(rows(), 3);
        t.execFixed("UPDATE articolo SET artvariato = 'S'");
        return first;
    }
    // While each question is open, another process writes to both databases.
    void othersWriteWhileAsked(WaitingMessages& m) {
        m.whileAsked = [this](const std::string&) {
            const std::string n = std::to_string(100 + writes.size());
            writes.push_back(writeFromAnotherProcess(
                t, false,
                "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (" + n +
                    ", 'ALTRA POSTAZIONE')"));
            writes.push_back(writeFromAnotherProcess(
                t, true,
                "INSERT INTO codean (eanare, codare) VALUES ('99900000000" + n + "', 9" + n + ")"));
        };
    }
    std::vector<history::CheckSummary> checks() {
        auto db = t.session.openStore(true);
        history::attachHistory(*db, t.storeFile());
        return history::listChecks(*db);
    }
    std::string everything() {
        return t.dump("variatil") + t.dump("parametri") + t.dump("articolo", true);
    }
    std::vector<OtherWrite> writes;
};

TEST_F(AskBeforeWrite, OthersWriteWhileTheReviewAndSupplierQuestionsAreOpen) {
    auto first = reviewLeftOver();
    check::chooseSupplier(screen, t.session.state, "27", "FRUTTA SRL");
    WaitingMessages m;
    m.answers = {Answer::Yes, Answer::Yes};
    othersWriteWhileAsked(m);
    auto r = check::runArticleCheck(t.session, screen, m, progress);

    ASSERT_EQ(m.shown.size(), 2u);
    EXPECT_NE(m.shown[0].text.find(kSupplierQuestion), std::string::npos);
    EXPECT_NE(m.shown[1].text.find(kReviewQuestion), std::string::npos);
    ASSERT_EQ(writes.size(), 4u);
    for (const auto& w : writes) expectWrittenMeanwhile(w);
    // The run is the one it would have been without the other writers.
    EXPECT_EQ(r.outcome, check::RunOutcome::Done);
    EXPECT_EQ(r.counts.examined, first.counts.examined);
    EXPECT_EQ(r.counts.written, first.counts.written);
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM fornitori WHERE codfornitore >= 100"), "2");
    EXPECT_EQ(checks().size(), 2u);
}

TEST_F(AskBeforeWrite, BarcodeAndPriceListChecksAskBeforeTheirTransactionToo) {
    reviewLeftOver();
    WaitingMessages m;
    m.answers = {Answer::Yes};
    othersWriteWhileAsked(m);
    auto r = check::runBarcodeCheck(t.session, screen, m, progress);
    EXPECT_EQ(r.outcome, check::RunOutcome::Done);
    ASSERT_EQ(writes.size(), 2u);
    for (const auto& w : writes) expectWrittenMeanwhile(w);

    pricelist::PriceList list;
    pricelist::PriceListRow row;
    row.description = "ARTICOLO 1";
    row.cost = 1.5;
    row.ean = "8000000000001";
    row.code = "A1";
    list.rows = {row};
    m.answers = {Answer::Yes};
    r = check::checkPriceList(t.session, screen, list, m, progress);
    EXPECT_EQ(r.outcome, check::RunOutcome::Done);
    ASSERT_EQ(writes.size(), 4u);
    for (const auto& w : writes) expectWrittenMeanwhile(w);
}

TEST_F(AskBeforeWrite, ReviewChangedWhileAskedStopsTheRunWithNothingWritten) {
    reviewLeftOver();
    WaitingMessages m;
    m.answers = {Answer::Yes};
    std::string afterOthers;
    m.whileAsked = [&](const std::string&) {
        // Another workstation works on the review the operator is agreeing to lose.
        expectWrittenMeanwhile(
            writeFromAnotherProcess(t, false, "UPDATE variatil SET sel = '' WHERE bns = 1"));
        afterOthers = everything();
    };
    auto r = check::runArticleCheck(t.session, screen, m, progress);
    EXPECT_EQ(r.outcome, check::RunOutcome::Failed);
    ASSERT_FALSE(m.shown.empty());
    EXPECT_EQ(m.shown.back().text,
              std::string(kWorkTableChanged) + "\nNessuna modifica è stata salvata.");
    EXPECT_EQ(m.shown.back().icon, Icon::Critical);
    EXPECT_EQ(everything(), afterOthers);
    EXPECT_EQ(checks().size(), 1u);
}

TEST_F(AskBeforeWrite, ACheckOfAnotherSupplierMeanwhileStopsTheRun) {
    reviewLeftOver();
    WaitingMessages m;
    m.answers = {Answer::Yes};
    std::string afterOthers;
    m.whileAsked = [&](const std::string&) {
        // A whole check, from another process, while the question is open.
        auto other = runProgram(t.root, {"check", "--supplier", "27"});
        EXPECT_EQ(other.exitCode, 0) << other.err;
        afterOthers = everything();
    };
    auto r = check::runArticleCheck(t.session, screen, m, progress);
    EXPECT_EQ(r.outcome, check::RunOutcome::Failed);
    ASSERT_FALSE(m.shown.empty());
    EXPECT_EQ(m.shown.back().text,
              std::string(check::kLastCheckChanged) + "\nNessuna modifica è stata salvata.");
    EXPECT_EQ(everything(), afterOthers);
    EXPECT_EQ(checks().size(), 2u);
}

TEST_F(AskBeforeWrite, OthersWriteWhileTheRestoreQuestionIsOpen) {
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    WaitingMessages m;
    m.answers = {Answer::Yes};
    othersWriteWhileAsked(m);
    EXPECT_TRUE(history::restoreCheck(t.session, std::nullopt, m));
    ASSERT_EQ(writes.size(), 2u);
    for (const auto& w : writes) expectWrittenMeanwhile(w);
    EXPECT_EQ(t.scalarFixed("SELECT count(*) FROM articolo WHERE artvariato = 'S'"), "3");
}

TEST_F(AskBeforeWrite, RowsTheOperatorWasNotAskedAboutAreNeverDiscarded) {
    reviewLeftOver();
    auto db = t.session.openStore(true);
    const auto before = t.dump("variatil");
    const WorkTableMark seen = workTableMark(*db);
    {
        store::Transaction tx(*db);
        // Empty when asked (so nothing was asked), rows now: refused.
        EXPECT_THROW(check::discardReview(*db, WorkTableMark{}), Error);
        // The rows agreed to: emptied.
        check::discardReview(*db, seen);
        EXPECT_EQ(check::variatilRows(*db), 0);
        // An empty table loses nothing, whatever was agreed.
        check::discardReview(*db, seen);
    }
    EXPECT_EQ(t.dump("variatil"), before);
}

TEST_F(AskBeforeWrite, CommandLineStopsWithStatusOneWhenTheReviewChangedWhileAsked) {
    reviewLeftOver();
    const auto before = everything();
    std::string afterOthers;
    auto r = runOnTerminal(
        t.root, {"check", "--supplier", "12"}, kReviewQuestion,
        [&] {
            expectWrittenMeanwhile(
                writeFromAnotherProcess(t, false, "DELETE FROM variatil WHERE bns = 2"));
            afterOthers = everything();
        },
        "s");
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.out.find(kWorkTableChanged), std::string::npos) << r.out;
    EXPECT_NE(afterOthers, before);
    EXPECT_EQ(everything(), afterOthers);
}

}  // namespace
}  // namespace cl::test
