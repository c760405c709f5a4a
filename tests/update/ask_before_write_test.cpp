// The update asks (its summary, or the supplier-lists-only question) before it takes the write
// lock: others write meanwhile; rows changed under the question stop it, nothing written.
#include "app/work_table.h"
#include "store/error.h"
#include "support/other_process.h"
#include "update/update_summary.h"
#include "update_fixture.h"

namespace cl::test {
namespace {

class AskBeforeUpdate : public UpdateTest {
  protected:
    void SetUp() override {
        UpdateTest::SetUp();
        for (auto [code, price] : {std::pair{5, 2.0}, {6, 3.0}})
            insert("listi01", {{"codart", code}, {"przpub", price}, {"desart", "VECCHIA"}});
        row(5, "8000000000051", "SU", 2.5);
        row(6, "8000000000068", "GIU", 2.5);
    }
    void row(long long code, const std::string& ean, const std::string& desc, double price) {
        variatil({{"codart", code},
                  {"ea1art", ean},
                  {"desart", desc},
                  {"coston", 1.0},
                  {"ivart", "10"},
                  {"prezpubv", price},
                  {"codafo", "9" + ean.substr(9)}});
    }
    review::UpdateResult confirmAndRun(WaitingMessages& m) {
        auto db = ts.session.openStore(true);
        return review::applyUpdateAfterSummary(ts.session.state, *db, settings, filter, m,
                                               progress);
    }
    // While the question is open another process writes an article of its own.
    void othersWriteWhileAsked(WaitingMessages& m) {
        m.whileAsked = [this](const std::string&) {
            writes.push_back(writeFromAnotherProcess(
                ts.storeFile(),
                "INSERT INTO listi01 (codart, przpub, desart) VALUES (77, 1, 'ALTRA POSTAZIONE')"));
        };
    }
    std::vector<OtherWrite> writes;
};

TEST_F(AskBeforeUpdate, OthersWriteWhileTheSummaryIsOpenThenTheUpdateRuns) {
    WaitingMessages m;
    m.answers = {Answer::Yes};
    othersWriteWhileAsked(m);
    auto r = confirmAndRun(m);
    ASSERT_EQ(writes.size(), 1u);
    expectWrittenMeanwhile(writes[0]);
    EXPECT_NE(m.shown.at(0).text.find(review::kSummaryQuestion), std::string::npos);
    EXPECT_TRUE(r.performed);
    EXPECT_EQ(r.aggiornati, 2);
    EXPECT_EQ(r.rowsConsumed, 2);
    EXPECT_EQ(q("SELECT przpub FROM listi01 WHERE codart = 5"), "2.5");
    EXPECT_EQ(q("SELECT desart FROM listi01 WHERE codart = 77"), "ALTRA POSTAZIONE");
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
}

TEST_F(AskBeforeUpdate, OthersWriteWhileTheSupplierListsQuestionIsOpen) {
    settings.CreaLisForn = true;
    WaitingMessages m;
    m.answers = {Answer::Yes};
    othersWriteWhileAsked(m);
    auto r = confirmAndRun(m);
    ASSERT_EQ(writes.size(), 1u);
    expectWrittenMeanwhile(writes[0]);
    EXPECT_EQ(m.shown.at(0).text, review::kSupplierListOnlyQuestion);
    EXPECT_TRUE(r.performed);
    EXPECT_EQ(r.rowsConsumed, 2);
}

TEST_F(AskBeforeUpdate, ReviewChangedWhileTheSummaryIsOpenStopsTheUpdate) {
    WaitingMessages m;
    m.answers = {Answer::Yes};
    std::string afterOthers;
    m.whileAsked = [&](const std::string&) {
        // Another workstation changes a price the summary counted.
        expectWrittenMeanwhile(writeFromAnotherProcess(
            ts.storeFile(), "UPDATE variatil SET prezpubv = 9 WHERE desart = 'SU'"));
        afterOthers = everything();
    };
    try {
        confirmAndRun(m);
        ADD_FAILURE() << "the update ran over rows the summary did not show";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string("Aggiornamento non eseguito: nessuna modifica è stata salvata.\n") +
                      kWorkTableChanged);
    }
    EXPECT_EQ(everything(), afterOthers);
    // Asked again, the operator sees the new figures and the update goes through.
    m.whileAsked = nullptr;
    m.answers = {Answer::Yes};
    EXPECT_TRUE(confirmAndRun(m).performed);
    EXPECT_EQ(q("SELECT przpub FROM listi01 WHERE codart = 5"), "9");
}

TEST_F(AskBeforeUpdate, RowsOutsideTheViewDoNotStopIt) {
    WaitingMessages m;
    m.answers = {Answer::Yes};
    m.whileAsked = [&](const std::string&) {
        expectWrittenMeanwhile(
            writeFromAnotherProcess(ts.storeFile(),
                                    "INSERT INTO variatil (bns, sel, codfor, desart) VALUES "
                                    "(50, 'X', 13, 'ALTRO FORNITORE')"));
    };
    EXPECT_TRUE(confirmAndRun(m).performed);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "1");
}

}  // namespace
}  // namespace cl::test
