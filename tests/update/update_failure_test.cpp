// A failure anywhere in the update leaves every table as it was.
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
    ts.exec(
        "CREATE TRIGGER fail_ean BEFORE INSERT ON codean WHEN NEW.eanare = '8009999999999' "
        "BEGIN SELECT RAISE(ABORT, 'codean bloccato'); END");
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
    ts.exec("DROP TRIGGER fail_ean");
    auto r = run();
    EXPECT_EQ(r.creati, 1);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
}

TEST_F(UpdateFailure, ErrorOnDeletingTheWorkRowsRollsEverythingBack) {
    fill();
    ts.exec(
        "CREATE TRIGGER fail_del BEFORE DELETE ON variatil "
        "BEGIN SELECT RAISE(ABORT, 'variatil bloccata'); END");
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
    ts.exec(
        "CREATE TRIGGER fail_l2 BEFORE UPDATE ON listi02 "
        "BEGIN SELECT RAISE(ABORT, 'listi02 bloccato'); END");
    std::string before = everything();
    EXPECT_THROW(run(), Error);
    EXPECT_EQ(everything(), before);
}

}  // namespace
}  // namespace cl::test
