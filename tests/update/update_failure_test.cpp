// A failure anywhere in the update leaves every table as it was.
#include "support/failing_writes.h"
#include "update_fixture.h"

namespace cl::test {
namespace {

class UpdateFailure : public UpdateTest {
  protected:
    void fill() {
        insert("listi01", {{"codart", 1}, {"przpub", 2.0}});
        insert("listi01", {{"codart", 2}, {"przpub", 3.0}});
        insert("codean", {{"eanare", "8000000000011"}, {"codare", 1}, {"aggi", "A"}});
        for (int i = 0; i < 3; ++i)
            variatil({{"codart", 1 + i % 2},
                      {"ea1art", "8000000000011"},
                      {"desart", "A" + std::to_string(i)},
                      {"codafo", "00000000" + std::to_string(i)},
                      {"coston", 1.0},
                      {"ivart", "10"},
                      {"prezpubv", 2.5}});
        // A new article whose barcode row is the last thing the run writes.
        variatil({{"codart", 0},
                  {"ea1art", "8009999999999"},
                  {"desart", "ZZ NUOVO"},
                  {"codafo", "000000777"},
                  {"coston", 1.0},
                  {"ivart", "10"},
                  {"prezpubv", 2.5}});
    }
};

TEST_F(UpdateFailure, ErrorOnTheLastWriteRollsEverythingBack) {
    fill();
    failWrites(ts, "fail_ean", "BEFORE", "INSERT", "codean", "NEW.eanare = '8009999999999'",
               "codean bloccato");
    std::string before = everything();
    try {
        run();
        FAIL() << "the run should fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("nessuna modifica è stata salvata"),
                  std::string::npos);
    }
    EXPECT_EQ(everything(), before);
    EXPECT_TRUE(messages.shown.empty());  // no closing message for a failed run
    // The store is usable again at once.
    allowWrites(ts, "fail_ean", "codean");
    auto r = run();
    EXPECT_EQ(r.creati, 1);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
}

TEST_F(UpdateFailure, ErrorOnDeletingTheWorkRowsRollsEverythingBack) {
    fill();
    failWrites(ts, "fail_del", "BEFORE", "DELETE", "variatil", "", "variatil bloccata");
    std::string before = everything();
    EXPECT_THROW(run(), Error);
    EXPECT_EQ(everything(), before);
}

TEST_F(UpdateFailure, ReadOnlyStoreFailsWithNothingWritten) {
    fill();
    std::string before = everything();
    auto db = ts.session.openStore(true, store::OpenMode::ReadOnly);
    EXPECT_THROW(review::applyUpdate(ts.session.state, *db, settings, filter, messages, progress),
                 Error);
    EXPECT_EQ(everything(), before);
}

TEST_F(UpdateFailure, SupplierListOnlyRollsBackToo) {
    fill();
    settings.CreaLisForn = true;
    messages.answers = {Answer::Yes};
    failWrites(ts, "fail_l2", "BEFORE", "UPDATE", "listi02", "", "listi02 bloccato");
    std::string before = everything();
    EXPECT_THROW(run(), Error);
    EXPECT_EQ(everything(), before);
}

}  // namespace
}  // namespace cl::test
