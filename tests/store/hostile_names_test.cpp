// Names that come from the files themselves (a store's columns and indexes, an Access file's
// tables) are data, not SQL: a crafted name never changes which rows a statement reaches.
#include <gtest/gtest.h>

#include "store/database.h"
#include "store/identifier.h"
#include "store/table_view.h"
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
    store::TableCursor cursor(*db, "strana");
    cursor.setIndex("chiave");
    EXPECT_FALSE(cursor.seek(store::Value("999"))) << "a key that no row holds found a row";
    ASSERT_TRUE(cursor.seek(store::Value("222")));
    EXPECT_EQ(cursor.integer("codare"), 2);
}

TEST(HostileNames, TableAndColumnNamesWithQuotesAreWrittenAsThemselves) {
    test::TempStore t;
    const std::string table = "tab\"ella", column = "pre\"zzo";
    t.exec("CREATE TABLE " + store::quoteName(table) + " (k INTEGER, " + store::quoteName(column) +
           " REAL); INSERT INTO " + store::quoteName(table) + " VALUES (1, 1.5), (2, 2.5);");
    auto db = t.session.openStore();
    store::TableView view("v", *db);
    view.setSource(table);
    view.refresh();
    ASSERT_EQ(view.recordCount(), 2u);
    view.edit();
    view.set(column, store::Value(9.0));
    view.update();
    view.remove();
    store::writeRow(*db, "main." + store::quoteName(table), {{column, store::Value(4.0)}}, 0, true);
    EXPECT_EQ(t.scalar("SELECT group_concat(coalesce(k, '-') || ':' || " +
                       store::quoteName(column) + ", ' ') FROM " + store::quoteName(table)),
              "2:2.5 -:4.0");
}

}  // namespace
}  // namespace cl
