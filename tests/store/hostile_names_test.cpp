// Names that come from the files themselves (a store's columns and indexes, an Access file's
// tables) are data, not SQL: a crafted name never changes which rows a statement reaches.
#include <gtest/gtest.h>

#include "store/database.h"
#include "store/identifier.h"
#include "store/index_columns.h"
#include "store/row_write.h"
#include "support/temp_store.h"

namespace cl {
namespace {

// A name that, pasted between quotes, closes the quote and makes every comparison true.
const std::string kCrafted = "eanx\" OR 1 OR \"y";

TEST(HostileNames, QuotingDoublesQuotesAndRefusesNul) {
    EXPECT_EQ(store::quoteName("listi01"), "\"listi01\"");
    EXPECT_EQ(store::quoteName("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(store::quoteName(""), "\"\"");
    EXPECT_THROW(store::quoteName(std::string("a\0b", 3)), Error);
}

TEST(HostileNames, IndexColumnNamedLikeSqlSeeksOnlyItsKey) {
    test::TempStore t;
    const std::string col = store::quoteName(kCrafted);
    t.exec("CREATE TABLE strana (" + col +
           " TEXT, codare INTEGER);"
           "CREATE INDEX chiave ON strana (" +
           col +
           ");"
           "INSERT INTO strana VALUES ('111', 1), ('222', 2);");
    auto db = t.session.openStore();
    const auto key = store::indexColumns(*db, "chiave");
    ASSERT_EQ(key, std::vector<std::string>{kCrafted});
    auto codareOf = [&](const std::string& value) {
        auto st =
            db->prepare("SELECT codare FROM strana WHERE " + store::quoteName(key[0]) + " = ?");
        st.bindAll(value);
        std::vector<long long> out;
        while (st.step()) out.push_back(st.value(0).integer());
        return out;
    };
    EXPECT_TRUE(codareOf("999").empty()) << "a key that no row holds found a row";
    EXPECT_EQ(codareOf("222"), std::vector<long long>{2});
}

TEST(HostileNames, TableAndColumnNamesWithQuotesAreWrittenAsThemselves) {
    test::TempStore t;
    const std::string table = "tab\"ella", column = "pre\"zzo";
    t.exec("CREATE TABLE " + store::quoteName(table) + " (k INTEGER, " + store::quoteName(column) +
           " REAL); INSERT INTO " + store::quoteName(table) + " VALUES (1, 1.5), (2, 2.5);");
    auto db = t.session.openStore();
    const long long first = std::stoll(t.scalar("SELECT " + db->rowIdentity() + " FROM " +
                                                store::quoteName(table) + " WHERE k = 1"));
    store::writeRow(*db, "main." + store::quoteName(table), {{column, store::Value(9.0)}}, first,
                    false);
    store::writeRow(*db, "main." + store::quoteName(table), {{column, store::Value(4.0)}}, 0, true);
    EXPECT_EQ(t.scalar("SELECT group_concat(coalesce(k, '-') || ':' || " +
                       store::quoteName(column) + ", ' ') FROM " + store::quoteName(table)),
              "1:9.0 2:2.5 -:4.0");
}

}  // namespace
}  // namespace cl
