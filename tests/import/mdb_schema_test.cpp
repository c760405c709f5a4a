#include "store/mdb_schema.h"

#include <gtest/gtest.h>

#include "import_support.h"
#include "store/csv_records.h"
#include "store/database.h"

using namespace cl::store;

namespace {

// As `mdb-schema FILE access` writes it (mdbtools 1.0), with every Access type.
const char* kSchema = R"(-- ----------------------------------------------------------
-- MDB Tools - A library for reading MS Access database files
-- ----------------------------------------------------------

-- That file uses encoding UTF-8

CREATE TABLE [listi01]
 (
	[codart]			Long Integer NOT NULL, 
	[desart]			Text (50), 
	[cofart]			Currency DEFAULT 0, 
	[ricart]			Double, 
	[quaco]			Single, 
	[datagg]			DateTime DEFAULT Date(), 
	[annoco]			Integer, 
	[colore]			Byte, 
	[attivo]			Boolean NOT NULL DEFAULT FALSE, 
	[note]			Memo/Hyperlink (255), 
	[foto]			OLE (255), 
	[guid]			Replication ID, 
	[peso]			Numeric (18, 3), 
	[sigla]			Text (10) DEFAULT 'A, B', 
	[Descrizione è lunga]			Text (255) DEFAULT =Left("x",1)
);

CREATE TABLE [Prezzi € nuovi]
 (
	[id]			Long Integer
);


)";

}  // namespace

TEST(MdbSchema, ReadsEveryColumnWithItsTypeAndDefault) {
    auto tables = parseAccessSchema(kSchema);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[1].name, "Prezzi € nuovi");
    const auto& t = tables[0];
    ASSERT_EQ(t.columns.size(), 15u);
    const std::vector<std::pair<AccessType, std::string>> expected = {
        {AccessType::LongInteger, "INTEGER"},
        {AccessType::Text, "TEXT COLLATE NOCASE"},
        {AccessType::Currency, "NUMERIC"},
        {AccessType::Double, "REAL"},
        {AccessType::Single, "REAL"},
        {AccessType::DateTime, "TEXT COLLATE NOCASE"},
        {AccessType::Integer, "INTEGER"},
        {AccessType::Byte, "INTEGER"},
        {AccessType::Boolean, "INTEGER"},
        {AccessType::Memo, "TEXT COLLATE NOCASE"},
        {AccessType::OLE, "BLOB"},
        {AccessType::ReplicationId, "TEXT COLLATE NOCASE"},
        {AccessType::Numeric, "NUMERIC"},
        {AccessType::Text, "TEXT COLLATE NOCASE"},
        {AccessType::Text, "TEXT COLLATE NOCASE"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(t.columns[i].type, expected[i].first) << t.columns[i].name;
        EXPECT_EQ(sqliteType(t.columns[i].type), expected[i].second) << t.columns[i].name;
    }
    EXPECT_EQ(t.columns[2].defaultSql, "0");
    EXPECT_EQ(t.columns[5].defaultSql, "(date('now','localtime'))");
    EXPECT_EQ(t.columns[8].defaultSql, "0");
    EXPECT_EQ(t.columns[13].defaultSql, "'A, B'");
    EXPECT_EQ(t.columns[14].name, "Descrizione è lunga");
    EXPECT_EQ(t.columns[14].defaultSql, "");
    EXPECT_EQ(t.columns[14].droppedDefault, "=Left(\"x\",1)");
}

TEST(MdbSchema, CreatedTableKeepsNamesTypesAndDefaults) {
    cl::test::ScratchDir dir;
    auto dbConnection = openDatabase(dir.path / "t.db", OpenMode::Create);
    Database& db = *dbConnection;
    for (const auto& t : parseAccessSchema(kSchema)) db.exec(createTableSql(t));
    db.exec("INSERT INTO listi01 (codart) VALUES (1)");
    auto st = db.prepare(
        "SELECT cofart, attivo, sigla, datagg = date('now','localtime'), \"Descrizione è lunga\" "
        "FROM listi01");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0), Value(0LL));
    EXPECT_EQ(st.value(1), Value(0LL));
    EXPECT_EQ(st.value(2), Value("A, B"));
    EXPECT_EQ(st.value(3), Value(1LL));
    EXPECT_TRUE(st.value(4).isNull());
    st.reset();
    EXPECT_TRUE(db.tableExists("Prezzi € nuovi"));
    // Texts compare without regard to case, as the original engine did.
    db.exec("UPDATE listi01 SET desart = 'Caffè'");
    auto found = db.prepare("SELECT count(*) FROM listi01 WHERE desart = 'CAFFè'");
    found.step();
    EXPECT_EQ(found.value(0).integer(), 1);
}

TEST(MdbSchema, ReadsIndexStatementsOfTheOracleBackend) {
    auto idx = parseIndexStatements(
        "-- CREATE INDEXES ...\n"
        "ALTER TABLE \"listi01\" ADD CONSTRAINT \"listi01_pkey\" PRIMARY KEY (\"codart\");\n"
        "CREATE UNIQUE INDEX \"codean_Ean \"\"A\"\"_idx\" ON \"codean\" (\"eanare\");\n"
        "CREATE INDEX \"listi02_k_idx\" ON \"listi02\" (\"codafo\" DESC, \"codlis\");\n");
    ASSERT_EQ(idx.size(), 3u);
    EXPECT_EQ(idx[0].table, "listi01");
    EXPECT_TRUE(idx[0].unique);
    EXPECT_EQ(idx[0].columns, std::vector<std::string>{"codart"});
    EXPECT_EQ(idx[1].name, "codean_Ean \"A\"_idx");
    EXPECT_EQ(idx[1].table, "codean");
    EXPECT_TRUE(idx[1].unique);
    EXPECT_FALSE(idx[2].unique);
    EXPECT_EQ(idx[2].columns, (std::vector<std::string>{"codafo", "codlis"}));
}

TEST(MdbSchema, GuessesTheDatabaseKindFromItsTables) {
    auto named = [](std::vector<std::string> names) {
        std::vector<AccessTable> t;
        for (auto& n : names) t.push_back({n, {}});
        return t;
    };
    EXPECT_EQ(guessKind(named({"articolo", "CODEAN", "gruppi", "sottogruppi"})),
              DatabaseKind::FixedArticles);
    EXPECT_EQ(guessKind(named(cl::test::tableNamesOf(DatabaseKind::Store))), DatabaseKind::Store);
    EXPECT_EQ(guessKind(named({"società"})), DatabaseKind::Suite);
    EXPECT_EQ(guessKind(named({"Users"})), std::nullopt);
}

TEST(MdbSchema, PlansTheProgramsIndexesWhereTheSourceLacksThem) {
    auto tables = parseAccessSchema(cl::test::accessSchemaOf(DatabaseKind::Store));
    for (auto& t : tables)  // a store whose departments table names its key otherwise
        if (t.name == "reparti") t.columns[0].name = "codice";
    std::vector<AccessIndex> source = {{"codean", "codean_EAN_idx", {"EANARE"}, false},
                                       {"listi01", "listi01_des_idx", {"desart"}, false},
                                       {"listi01", "primary", {"desart"}, false}};
    std::vector<std::string> notes;
    auto plan = planIndexes(tables, source, DatabaseKind::Store, notes);
    auto find = [&](const std::string& name) -> const PlannedIndex* {
        for (const auto& p : plan)
            if (p.name == name) return &p;
        return nullptr;
    };
    // The source's own index on the barcode serves under the name the seeks use.
    ASSERT_TRUE(find("keyean"));
    EXPECT_FALSE(find("keyean")->unique);
    EXPECT_FALSE(find("keyean")->required);
    EXPECT_EQ(find("keyean")->columns, std::vector<std::string>{"eanare"});
    EXPECT_FALSE(find("codean_EAN_idx"));
    // Missing in the source: created as the program defines it.
    ASSERT_TRUE(find("primary"));
    EXPECT_TRUE(find("primary")->unique);
    EXPECT_TRUE(find("primary")->required);
    EXPECT_EQ(find("primary")->columns, std::vector<std::string>{"codart"});
    // The source's other indexes are kept, renamed when their name is taken.
    ASSERT_TRUE(find("listi01_des_idx"));
    ASSERT_TRUE(find("primary_2"));
    EXPECT_EQ(find("primary_2")->columns, std::vector<std::string>{"desart"});
    for (const char* n : {"codgru", "coduni", "codlis"}) EXPECT_TRUE(find(n)) << n;
    EXPECT_FALSE(find("reparto"));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("\"reparto\""), std::string::npos);
}

TEST(MdbSchema, StoresExportedValuesByType) {
    using K = StoredValue::Kind;
    auto v = [](AccessType t, std::string text, bool quoted = false) {
        return storedValue(t, CsvField{std::move(text), quoted});
    };
    EXPECT_EQ(v(AccessType::LongInteger, "").kind, K::Null);
    EXPECT_EQ(v(AccessType::Text, "", true).kind, K::Text);
    EXPECT_EQ(v(AccessType::LongInteger, "-42").integer, -42);
    EXPECT_EQ(v(AccessType::Boolean, "1").integer, 1);
    EXPECT_EQ(v(AccessType::Double, "0.1").real, 0.1);
    EXPECT_EQ(v(AccessType::Currency, "12.3400").text, "12.3400");
    EXPECT_EQ(v(AccessType::DateTime, "2024-02-29 00:00:00", true).text, "2024-02-29");
    EXPECT_EQ(v(AccessType::DateTime, "2024-02-29 13:05:00", true).text, "2024-02-29 13:05:00");
    EXPECT_EQ(v(AccessType::DateTime, "1899-12-30 00:00:00", true).kind, K::Null);
    auto blob = v(AccessType::OLE, "00FF41", true);
    EXPECT_EQ(blob.kind, K::Blob);
    EXPECT_EQ(blob.text, std::string("\0\xff"
                                     "A",
                                     3));
    EXPECT_EQ(v(AccessType::Memo, "Caffè € 1,50\n\"extra\"", true).text, "Caffè € 1,50\n\"extra\"");
}

TEST(MdbSchema, AutoNumberFieldsNumberNewRowsAsAccessDid) {
    auto found = parseAutoNumbers(
        "CREATE TABLE `Clienti ``A```\n (\n\t`Id`\t\t\tint not null auto_increment unique, \n"
        "\t`Nome`\t\t\tvarchar (255)\n);\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].table, "Clienti `A`");
    EXPECT_EQ(found[0].column, "Id");

    cl::test::ScratchDir dir;
    auto dbConnection = openDatabase(dir.path / "t.db", OpenMode::Create);
    Database& db = *dbConnection;
    db.exec("CREATE TABLE \"Clienti `A`\" (Id INTEGER, Nome TEXT)");
    db.exec(autoNumberTriggerSql(found[0]));
    db.exec("INSERT INTO \"Clienti `A`\" (Nome) VALUES ('uno')");
    db.exec("INSERT INTO \"Clienti `A`\" VALUES (10, 'dieci')");
    db.exec("INSERT INTO \"Clienti `A`\" (Nome) VALUES ('undici')");
    auto st = db.prepare("SELECT group_concat(Id) FROM \"Clienti `A`\"");
    st.step();
    EXPECT_EQ(st.value(0).text(), "1,10,11");
}
