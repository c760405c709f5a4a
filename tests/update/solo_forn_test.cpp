// "Crea solo in Listini Fornitori": only listi02, after the question.
#include "update_fixture.h"

namespace cl::test {
namespace {

class SoloForn : public UpdateTest {
  protected:
    void SetUp() override {
        UpdateTest::SetUp();
        settings.CreaLisForn = true;
    }
    void row(long long code, const std::string& ean, const std::string& codafo, double cost) {
        variatil({{"codart", code},
                  {"ea1art", ean},
                  {"codafo", codafo},
                  {"coston", cost},
                  {"desart", "OLIO EXTRAVERGINE"},
                  {"ivart", "4"},
                  {"umart", "LT"},
                  {"prezpubv", 7.5}});
    }
};

TEST_F(SoloForn, NoLeavesEverythingAsItWas) {
    row(5, "0000000000000", "000000055", 5.1);
    std::string before = everything();
    auto r = run();
    EXPECT_FALSE(r.performed);
    EXPECT_EQ(messages.shown[0].text, "Sei sicuro di voler aggiornare il listino ...");
    EXPECT_EQ(messages.shown[0].title, "");
    EXPECT_EQ(messages.shown[0].icon, Icon::None);
    EXPECT_EQ(everything(), before);
}

TEST_F(SoloForn, BarcodeDecidesTheArticleAndRowsAreConsumed) {
    messages.answers = {Answer::Yes};
    insert("listi02", {{"codlis", "000012"}, {"codafo", "000000055"}, {"codart", 70}});
    insert("codean", {{"eanare", "8005555555555"}, {"codare", 71}});
    row(0, "8005555555555", "000000055", 5.1);
    row(0, "0000000000000", "000000099", 1);  // nothing ties it: consumed, nothing written
    auto r = run();
    EXPECT_TRUE(r.performed);
    EXPECT_EQ(r.rowsConsumed, 2);
    EXPECT_EQ(joined("SELECT codart FROM listi02 ORDER BY rowid"), "70,71");
    EXPECT_EQ(joined("SELECT codlis, desart, cobart, cofart, codafo, ivart, "
                     "umart, codfor, datval FROM listi02 WHERE codart=71"),
              "000012|OLIO EXTRAVERGINE|5.1|5.1|000000055|4|LT|12|2026-12-08");
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "0");
    EXPECT_EQ(messages.shown.size(), 1u);  // no closing message
}

TEST_F(SoloForn, SecondRunEditsTheExistingRow) {
    messages.answers = {Answer::Yes, Answer::Yes};
    row(8, "0000000000000", "000000055", 5.1);
    run();
    row(8, "0000000000000", "000000055", 5.4);
    run();
    EXPECT_EQ(joined("SELECT count(*), max(cobart) FROM listi02"), "1|5.4");
}

TEST_F(SoloForn, SupplierCodeIsComparedAsStoredNotTrimmed) {
    messages.answers = {Answer::Yes};
    insert("listi02", {{"codlis", "000012"}, {"codafo", "000000055       "}, {"codart", 70}});
    row(0, "0000000000000", "000000055", 5.1);
    run();
    EXPECT_EQ(q("SELECT count(*) FROM listi02 WHERE datval IS NOT NULL"), "0");
}

}  // namespace
}  // namespace cl::test
