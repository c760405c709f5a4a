#include "app/parameters.h"

#include <gtest/gtest.h>

#include "support/temp_store.h"

namespace cl {
namespace {

// "cliente/tiposel" of every parameter row in the order they were added.
std::string rowsOf(test::TempStore& t) {
    std::string out;
    auto db = t.openStoreDb();
    auto st = db->prepare("SELECT cliente, tiposel FROM parametri ORDER BY " + db->rowIdentity());
    while (st.step())
        out += (out.empty() ? "" : " ") + st.value(0).text() + "/" + st.value(1).text();
    return out;
}

TEST(Parameters, KeyOfTheSite) {
    EXPECT_EQ(chiaveParametri(1), "01L");
    EXPECT_EQ(chiaveParametri(2), "02L");
}

TEST(Parameters, AddThenEditRoundTrip) {
    test::TempStore t;
    auto db = t.session.openStore();
    EXPECT_FALSE(readParameters(*db, "01L"));

    ParameterRow row;
    row.acos = 1;
    row.apv = 1;
    row.creart = 1;
    row.cliente = 12;
    row.tiposel = 2;
    saveParameters(*db, "01L", row);
    auto read = readParameters(*db, "01L");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->acos, 1);
    EXPECT_EQ(read->aric, 0);
    EXPECT_EQ(read->apv, 1);
    EXPECT_EQ(read->creart, 1);
    EXPECT_EQ(read->cliente, 12);
    EXPECT_EQ(read->tiposel, 2);

    // The saved row is edited in place, and codpag and cassa are always written 0.
    db->exec("UPDATE parametri SET codpag = 5, cassa = 7");
    row.acos = 0;
    row.aric = 1;
    row.cliente = 0;
    row.tiposel = 4;
    saveParameters(*db, "01L", row);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "1");
    EXPECT_EQ(t.scalar("SELECT codpag || '/' || cassa || '/' || tipo FROM parametri"), "0/0/01L");
    read = readParameters(*db, "01L");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->acos, 0);
    EXPECT_EQ(read->aric, 1);
    EXPECT_EQ(read->cliente, 0);
    EXPECT_EQ(read->tiposel, 4);
}

TEST(Parameters, OtherSitesAndNullFieldsDoNotDisturb) {
    test::TempStore t;
    t.exec("INSERT INTO parametri (tipo, cliente) VALUES ('02L', 99)");
    t.exec("INSERT INTO parametri (tipo) VALUES ('01L')");
    auto db = t.session.openStore();
    auto read = readParameters(*db, "01L");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->cliente, 0);
    EXPECT_EQ(read->acos, 0);
    EXPECT_EQ(read->tiposel, 0);
    saveParameters(*db, "01L", ParameterRow{});
    EXPECT_EQ(t.scalar("SELECT cliente FROM parametri WHERE tipo = '02L'"), "99");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "2");
}

TEST(Parameters, FirstRowOfARepeatedKeyIsTheOneReadAndSaved) {
    test::TempStore t;
    t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 1), ('01l', 34, 2)");
    auto db = t.session.openStore();
    auto read = readParameters(*db, "01L");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->cliente, 12);
    ParameterRow row;
    row.cliente = 56;
    saveParameters(*db, "01L", row);
    // The copy is left as it was, and nothing is added.
    EXPECT_EQ(rowsOf(t), "56/4 34/2");
    EXPECT_EQ(readParameters(*db, "01L")->cliente, 56);
}

TEST(Parameters, ReadingLetsAnotherConnectionWrite) {
    test::TempStore t;
    t.exec("INSERT INTO parametri (tipo, cliente) VALUES ('01L', 12), ('01L', 13)");
    auto db = t.session.openStore();
    ASSERT_TRUE(readParameters(*db, "01L"));
    t.exec("UPDATE parametri SET cliente = 7");
    EXPECT_EQ(readParameters(*db, "01L")->cliente, 7);
}

}  // namespace
}  // namespace cl
