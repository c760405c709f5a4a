// Data as other programs may leave them: nulls everywhere, texts longer than their fields,
// article codes at the 32-bit limit. Every command gives a result or a message, never a crash
// or a partial write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "store/database.h"
#include "support/cli_runner.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

void spoil(const fs::path& root) {
    const std::string longText(300, 'W');
    auto centralConnection = store::openDatabase(root / "C/orvik/DATI.MDB");
    store::Database& central = *centralConnection;
    central.exec(
        "UPDATE articolo SET przart = NULL, ivart = NULL WHERE codart % 7 = 0;"
        "UPDATE articolo SET przpub = NULL, desart = NULL, umart = NULL WHERE codart % 11 = 0;"
        "UPDATE articolo SET desart = '" +
        longText + "', ivart = 'XX', desfor = '" + longText +
        "' WHERE codart % 13 = 0;"
        "UPDATE articolo SET codsot = NULL, codgru = NULL, pezzatura = NULL WHERE codart % 5 = 0;"
        "UPDATE articolo SET artvariato = 'S';"
        "UPDATE codean SET eanare = eanare || '99999' WHERE codare % 17 = 0;");
    auto shopConnection = store::openDatabase(root / "C/negozio/dati/DATI.MDB");
    store::Database& shop = *shopConnection;
    shop.exec(
        "UPDATE listi01 SET ricart = NULL, marg = NULL, przpub = NULL, cofart = NULL, "
        "datagg = NULL WHERE codart % 7 = 1;"
        "UPDATE listi01 SET desart = '" +
        longText +
        "', ivart = NULL, umart = NULL WHERE codart % 9 = 2;"
        "UPDATE codean SET even = NULL, flagean = 'S', pezzix = NULL WHERE codare % 4 = 0;"
        "UPDATE gruppi SET codrep = NULL, escgruppo = NULL;"
        "UPDATE unitam SET fatxmul = 'abc' WHERE coduni = 'KG';"
        "UPDATE listi01 SET codart = 2147483647 WHERE codart = (SELECT max(codart) FROM listi01);");
}

TEST(HostileData, NullsOverlongTextsAndLimitCodesNeverCrashOrHalfWrite) {
    if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
    fs::path dir = fs::temp_directory_path() / ("cl-hostile-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::path root = dir / "root";
    ASSERT_EQ(test::runProgram(root, {"demo", "--articles", "400", "--seed", "8"}).exitCode, 0);
    spoil(root);
    const std::vector<std::vector<std::string>> commands{
        {"check", "--filters", "all,new,increased,decreased"},
        {"review", "--csv"},
        {"review"},
        {"select", "all"},
        {"recalc", "--percent", "5", "--round"},
        {"recalc", "--markup", "30"},
        {"edit", "1", "--margin", "25"},
        {"edit", "2", "--price", "3,50"},
        {"report", "--pdf", (dir / "report.pdf").string()},
        {"apply", "--updates",
         "cost,markup,price,create,descriptions,departments,groups,units,vat,"
         "supplier-code,pack"},
        {"labels", "--csv"},
        {"barcode-check", "--filters", "all"},
        {"undo"},
    };
    std::string integrity;
    int ok = 0, refused = 0;
    for (const auto& words : commands) {
        auto before = test::databaseContents(root, integrity);
        auto r = test::runProgram(root, words);
        ASSERT_EQ(r.signal, 0) << words[0] << " crashed";
        auto after = test::databaseContents(root, integrity);
        ASSERT_EQ(integrity, "") << words[0];
        if (r.exitCode == 0) {
            ++ok;
        } else {
            ++refused;
            std::cout << "[hostile-data] " << words[0] << " refused: " << r.err.substr(0, 160)
                      << std::endl;
            EXPECT_EQ(r.exitCode, 1) << words[0] << ": " << r.err;
            EXPECT_FALSE(r.err.empty()) << words[0];
            EXPECT_EQ(after, before) << words[0] << " failed but wrote";
        }
    }
    std::cout << "[hostile-data] commands run " << commands.size() << ", done " << ok
              << ", refused with a message " << refused << std::endl;
    EXPECT_GE(ok, 8);
    fs::remove_all(dir);
}

// Amounts no store can mean, arriving from the central database or typed by the operator: the
// run stops naming the article, the typed price is refused where it is typed, and the update
// says which rows it did not write.
class HostileNumbers : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
        root = fs::temp_directory_path() / ("cl-numbers-" + std::to_string(getpid())) / "root";
        fs::remove_all(root.parent_path());
        ASSERT_EQ(test::runProgram(root, {"demo", "--articles", "200", "--seed", "3"}).exitCode, 0);
    }
    void TearDown() override { fs::remove_all(root.parent_path()); }
    // The first article the check will walk, with its cost made absurd.
    std::string spoilCost(const std::string& cost) {
        auto centralConnection = store::openDatabase(root / "C/orvik/DATI.MDB");
        store::Database& central = *centralConnection;
        auto st = central.prepare(
            "SELECT a.codart FROM articolo a JOIN codean c ON c.codare = a.codart "
            "WHERE a.artvariato = 'S' ORDER BY a.desart LIMIT 1");
        st.step();
        std::string code = st.value(0).text();
        st.reset();
        central.exec("UPDATE articolo SET przart = " + cost + " WHERE codart = " + code);
        return code;
    }
    std::string firstBns() {
        auto shopConnection = store::openDatabase(root / "C/negozio/dati/DATI.MDB");
        store::Database& shop = *shopConnection;
        auto st = shop.prepare("SELECT min(bns) FROM variatil");
        st.step();
        std::string bns = st.value(0).text();
        st.reset();
        return bns;
    }
    // Runs a command that must be refused with `message`, writing nothing.
    void expectRefused(const std::vector<std::string>& words, const std::string& message) {
        std::string integrity;
        auto before = test::databaseContents(root, integrity);
        auto r = test::runProgram(root, words);
        EXPECT_EQ(r.exitCode, 1) << words[0] << ": " << r.out << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << words[0] << ": " << r.err;
        EXPECT_EQ(test::databaseContents(root, integrity), before) << words[0] << " wrote";
    }
    fs::path root;
};

TEST_F(HostileNumbers, CentralCostOutOfRangeStopsTheCheckNamingTheArticle) {
    for (const char* cost : {"600000000000000", "1e300", "-900000000000000"}) {
        std::string code = spoilCost(cost);
        expectRefused({"check"}, "Articolo " + code + " \"");
    }
    // The barcode check walks every article: any of them stops it, by name.
    {
        auto centralConnection = store::openDatabase(root / "C/orvik/DATI.MDB");
        store::Database& central = *centralConnection;
        central.exec("UPDATE articolo SET przart = 600000000000000");
    }
    expectRefused({"barcode-check", "--filters", "all"}, "dell'archivio centrale: Costo ");
    // Its public price too, though it is read only for the rows that pass the filters.
    {
        auto centralConnection = store::openDatabase(root / "C/orvik/DATI.MDB");
        centralConnection->exec("UPDATE articolo SET przart = 1, przpub = 600000000000000");
    }
    expectRefused({"barcode-check", "--filters", "all"},
                  "dell'archivio centrale: Prezzo al pubblico ");
}

TEST_F(HostileNumbers, NegativeOrAbsurdSalePricesAreRefusedWhereTyped) {
    ASSERT_EQ(test::runProgram(root, {"check"}).exitCode, 0);
    const std::string bns = firstBns();
    const std::string refused = "non valido: deve essere compreso tra 0 e 999.999,99";
    for (const char* price : {"-1", "-0,01", "899999999999999", "1000000"})
        expectRefused({"edit", bns, "--price", price}, refused);
    expectRefused({"edit", bns, "--markup", "1000000000"}, refused);
    expectRefused({"recalc", "--percent", "-150"}, "(riga bns ");
    auto ok = test::runProgram(root, {"edit", bns, "--price", "999999,99"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
}

TEST_F(HostileNumbers, UpdateNamesTheRowsItDoesNotWrite) {
    ASSERT_EQ(test::runProgram(root, {"check"}).exitCode, 0);
    const std::string bns = firstBns();
    ASSERT_EQ(test::runProgram(root, {"edit", bns, "--price", "0"}).exitCode, 0);
    auto r = test::runProgram(root, {"apply"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Righe non scritte nel listino: 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(": prezzo nuovo 0 o negativo"), std::string::npos) << r.out;
}

TEST_F(HostileNumbers, AbsurdPriceLeftInTheReviewStopsTheUpdateNamingTheRow) {
    ASSERT_EQ(test::runProgram(root, {"check"}).exitCode, 0);
    const std::string bns = firstBns();
    {
        auto shopConnection = store::openDatabase(root / "C/negozio/dati/DATI.MDB");
        store::Database& shop = *shopConnection;
        shop.exec("UPDATE variatil SET prezpubv = 899999999999999 WHERE bns = " + bns);
    }
    expectRefused({"apply"}, "(riga bns " + bns + ")");
}

}  // namespace
}  // namespace cl
