#include "store/schema.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "store/database.h"
#include "support/temp_dir.h"

namespace cl {
namespace {

using store::DatabaseKind;

// Every table and field the program reads or writes, written out here on its own so that a
// field dropped from the schema definition is caught.
using Tables = std::map<std::string, std::vector<std::string>>;

const std::vector<std::string> kCodean{"eanare",  "codare",     "desart",  "desfor", "codafo",
                                       "prezzo",  "pezzix",     "prezzox", "aggi",   "neti",
                                       "flagean", "primasecon", "colare",  "even"};

Tables expectedStore() {
    return {
        {"codean", kCodean},
        {"listi01",
         {"codart", "desart",  "descas", "umart",  "imbart", "ivart",  "codafo", "codfor",
          "desfor", "codgru",  "desgru", "codsot", "dessot", "codrep", "desrep", "cobart",
          "cofart", "cosiva",  "ricart", "marg",   "przart", "przpub", "prztot", "przsal",
          "quaco",  "umquaco", "colore", "tipart", "datreg", "datagg", "annoco", "fl1art",
          "fl2art", "qinv",    "qacq",   "qres",   "qven",   "qgia",   "cosmp",  "scopro",
          "przpro", "scosal",  "valgia", "q1",     "sq1",    "q2",     "sq2",    "scomi"}},
        {"listi02",
         {"codlis", "codafo", "codart", "desart", "cobart", "cofart", "ivart", "umart", "desfor",
          "dsclistino", "codfor", "datval"}},
        {"variatil",
         {"bns",      "sel",     "codart",    "ea1art", "desart",  "umart",          "ivart",
          "imbart",   "ea2art",  "fl2art",    "fl3art", "datval",  "colli",          "tipges",
          "tipart",   "marchio", "pezzatura", "umconf", "fl1art",  "desfor",         "codfor",
          "codafo",   "codrep",  "desrep",    "codgru", "desgru",  "codsot",         "dessot",
          "przart",   "przvec",  "coston",    "perc",   "rica",    "prezpub",        "prezpubv",
          "percdiff", "offerta", "prezoff",   "datagg", "variati", "modificatoamano"}},
        {"parametri",
         {"tipo", "acos", "aric", "apv", "creart", "cliente", "tiposel", "codpag", "cassa"}},
        {"fornitori", {"codfornitore", "dscfornitore"}},
        {"gruppi", {"codgru", "dscgruppo", "codrep", "escgruppo"}},
        {"sottogruppi", {"codsot", "descrizione", "codgru"}},
        {"reparti", {"reparto", "descrizione", "tx"}},
        {"unitam", {"coduni", "fatxmul", "umrife"}},
        {"fistini", {"codlis", "dsclistino", "datval"}},
    };
}

Tables expectedFixed() {
    return {
        {"articolo", {"codart", "desart", "umart",  "przart",     "przpub", "ivart",   "imbart",
                      "ea2art", "fl2art", "fl3art", "artvariato", "ea1art", "codgru",  "codsot",
                      "umconf", "datval", "colli",  "tipges",     "tipart", "marchio", "pezzatura",
                      "codrep", "desfor", "desgru", "dessot"}},
        {"codean", kCodean},
        {"sottogruppi", {"codsot", "descrizione", "codgru"}},
        {"gruppi", {"codice", "descrizione", "ricarica"}},
    };
}

// The indexes the program seeks on: table -> (index name, its field).
const std::multimap<std::string, std::pair<std::string, std::string>> kSeekIndexes{
    {"codean", {"keyean", "eanare"}},    {"listi01", {"primary", "codart"}},
    {"reparti", {"reparto", "reparto"}}, {"gruppi", {"codgru", "codgru"}},
    {"unitam", {"coduni", "coduni"}},    {"fistini", {"codlis", "codlis"}},
};

std::string columnType(store::Database& db, const std::string& table, const std::string& col) {
    auto st = db.prepare("SELECT type FROM pragma_table_info(?) WHERE name = ?");
    st.bindAll(table, col);
    return st.step() ? st.value(0).text() : "<none>";
}

void expectTables(const std::filesystem::path& file, const Tables& tables) {
    auto dbConnection = store::openDatabase(file, store::OpenMode::ReadOnly);
    store::Database& db = *dbConnection;
    for (const auto& [table, fields] : tables) {
        ASSERT_TRUE(db.tableExists(table)) << table;
        auto cols = db.columns(table);
        std::set<std::string> have(cols.begin(), cols.end());
        for (const auto& f : fields) EXPECT_TRUE(have.count(f)) << table << "." << f;
    }
}

TEST(Schema, EveryDatabaseHoldsEveryTableAndField) {
    test::TempDir dir;
    store::createDatabase((dir.path / "s.db").string(), DatabaseKind::Store);
    store::createDatabase((dir.path / "f.db").string(), DatabaseKind::FixedArticles);
    store::createDatabase((dir.path / "u.db").string(), DatabaseKind::Suite);
    expectTables(dir.path / "s.db", expectedStore());
    expectTables(dir.path / "f.db", expectedFixed());
    expectTables(dir.path / "u.db", {{"società", {"codute", "database"}}});
}

TEST(Schema, SeekIndexesExistOnTheirFields) {
    test::TempDir dir;
    store::createDatabase((dir.path / "s.db").string(), DatabaseKind::Store);
    store::createDatabase((dir.path / "f.db").string(), DatabaseKind::FixedArticles);
    auto dbConnection = store::openDatabase(dir.path / "s.db", store::OpenMode::ReadOnly);
    store::Database& db = *dbConnection;
    for (const auto& [table, index] : kSeekIndexes) {
        auto st = db.prepare("SELECT name FROM pragma_index_info(?)");
        st.bind(1, store::Value(index.first));
        ASSERT_TRUE(st.step()) << table << " " << index.first;
        EXPECT_EQ(st.value(0).text(), index.second);
        EXPECT_FALSE(st.step()) << index.first << " should have one field";
    }
    auto fixedConnection = store::openDatabase(dir.path / "f.db", store::OpenMode::ReadOnly);
    store::Database& fixed = *fixedConnection;
    auto st = fixed.prepare("SELECT name FROM pragma_index_info('keyean')");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).text(), "eanare");
}

TEST(Schema, StorageTypesMoneyNumericDatesTextTextsWithoutCase) {
    test::TempDir dir;
    store::createDatabase((dir.path / "s.db").string(), DatabaseKind::Store);
    auto dbConnection = store::openDatabase(dir.path / "s.db");
    store::Database& db = *dbConnection;
    for (const char* money : {"cobart", "cofart", "cosiva", "przart", "przpub", "prztot", "przsal"})
        EXPECT_EQ(columnType(db, "listi01", money), "NUMERIC") << money;
    EXPECT_EQ(columnType(db, "listi01", "codart"), "INTEGER");
    EXPECT_EQ(columnType(db, "listi01", "datagg").substr(0, 4), "TEXT");
    EXPECT_EQ(columnType(db, "variatil", "prezpubv"), "NUMERIC");
    // A money value keeps its decimals as a decimal amount.
    db.exec("INSERT INTO listi01 (codart, przpub, desart) VALUES (1, 12.34, 'Pane')");
    auto st = db.prepare("SELECT przpub, typeof(przpub) FROM listi01 WHERE desart = 'PANE'");
    ASSERT_TRUE(st.step()) << "texts compare without case";
    EXPECT_DOUBLE_EQ(st.value(0).number(), 12.34);
    EXPECT_EQ(st.value(1).text(), "real");
    auto version = db.prepare("PRAGMA user_version");
    ASSERT_TRUE(version.step());
    EXPECT_EQ(version.value(0).integer(), store::kSchemaVersion);
}

TEST(Schema, CreateRefusesAnExistingFile) {
    test::TempDir dir;
    auto file = dir.path / "s.db";
    test::writeBytes(file, "dati preziosi");
    EXPECT_THROW(store::createDatabase(file.string(), DatabaseKind::Store), Error);
    EXPECT_EQ(test::fileBytes(file), "dati preziosi");
}

}  // namespace
}  // namespace cl
