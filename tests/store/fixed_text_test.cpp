#include "store/fixed_text.h"

#include <gtest/gtest.h>

#include "store/database.h"
#include "support/temp_store.h"

namespace cl {
namespace {

using namespace store;

TEST(FixedText, PadsOrCutsToTheWidth) {
    EXPECT_EQ(fixedWidth("ABC", 5), "ABC  ");
    EXPECT_EQ(fixedWidth("ABCDEF", 3), "ABC");
    EXPECT_EQ(fixedWidth("", 2), "  ");
    EXPECT_EQ(fixedWidth("000012345", 16), "000012345       ");
    EXPECT_EQ(fixedWidth("*** NUOVO", 10), "*** NUOVO ");
}

TEST(FixedText, AccentedLettersCountAsOneCharacter) {
    EXPECT_EQ(charCount("CAFFÈ"), 5u);
    EXPECT_EQ(fixedWidth("CAFFÈ", 6), "CAFFÈ ");
    EXPECT_EQ(charCount(fixedWidth("CAFFÈ", 6)), 6u);
    EXPECT_EQ(fixedWidth("PERCHÉ NO", 6), "PERCHÉ");
    EXPECT_EQ(firstChars("SOCIETÀ AGRICOLA", 7), "SOCIETÀ");
    EXPECT_EQ(firstChars("àèìòù", 2), "àè");
    // The first characters are not padded.
    EXPECT_EQ(firstChars("PANE", 30), "PANE");
}

TEST(FixedText, TrimmedComparison) {
    EXPECT_EQ(trimmed("  DATI.MDB "), "DATI.MDB");
    EXPECT_EQ(trimmed("   "), "");
    EXPECT_EQ(rtrimmed("  A  "), "  A");
    EXPECT_TRUE(sameTrimmed("000012345       ", "000012345"));
    EXPECT_TRUE(sameTrimmed(" 8001234567890", "8001234567890 "));
    EXPECT_FALSE(sameTrimmed("0000123", "000123"));
}

TEST(Database, OpeningAndAttachingHoldNoLock) {
    test::TempStore t;
    auto db = t.session.openStore(true);
    // Schema changes and DETACH need no statement left running on the connection.
    EXPECT_NO_THROW(db->exec("CREATE TABLE prova (x INTEGER); DROP TABLE prova"));
    EXPECT_NO_THROW(db->detach(kFixedSchema));
    // Another connection can write at once.
    EXPECT_NO_THROW(t.exec("INSERT INTO fornitori (codfornitore) VALUES (1)"));
}

}  // namespace
}  // namespace cl
