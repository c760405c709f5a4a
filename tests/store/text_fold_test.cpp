#include "store/text_fold.h"

#include <gtest/gtest.h>

#include "support/temp_store.h"

namespace cl {
namespace {

TEST(TextFold, AccentedCapitalsFoldAndBrokenTextStaysAsItIs) {
    EXPECT_EQ(store::foldCase("CAFFÈ PERCHÉ"), store::foldCase("caffè perché"));
    EXPECT_EQ(store::foldCase("ÀÈÉÌÒÙ"), "àèéìòù");
    EXPECT_EQ(store::foldCase("50%_\\"), "50%_\\");  // LIKE's own characters untouched
    const std::string broken = "CAFF\xC3";
    EXPECT_EQ(store::foldCase(broken), broken);
    test::TempStore t;
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'ÉCLAIR'), (2, NULL)");
    auto db = t.session.openStore();
    auto st = db->prepare("SELECT bns FROM variatil WHERE " + store::foldedLikeSql("desart"));
    st.bind(1, store::Value("%éclair%"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).integer(), 1);
    EXPECT_FALSE(st.step());
}

}  // namespace
}  // namespace cl
