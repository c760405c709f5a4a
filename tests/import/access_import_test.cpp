#include "store/access_import.h"

#include <gtest/gtest.h>

#include "import_support.h"
#include "store/csv_records.h"
#include "store/database.h"
#include "store/error.h"
#include "store/identifier.h"
#include "store/index_columns.h"
#include "store/mdb_schema.h"
#include "store/tool_process.h"
#include "support/need.h"

using namespace cl::store;
using cl::test::accessFixture;
using cl::test::fileBytes;
using cl::test::ScratchDir;

namespace {

bool haveMdbtools() {
    return !ToolRunner().find("mdb-export").empty();
}

#define NEED_FIXTURE()                                            \
    CL_NEED(!accessFixture().empty(),                             \
            "Access sample tests/fixtures/access/node-adodb.mdb " \
            "missing");                                           \
    CL_NEED(haveMdbtools(), "mdbtools not installed")

std::vector<std::vector<CsvField>> exported(const std::filesystem::path& file,
                                            const std::string& table) {
    std::vector<std::vector<CsvField>> rows;
    CsvRecords csv([&](std::vector<CsvField>& f) { rows.push_back(f); });
    ToolRunner tools({}, {{"MDBICONV", "UTF-8"}, {"LC_ALL", "C.UTF-8"}});
    auto r = tools.run("mdb-export", {"-D", "%Y-%m-%d", "-T", "%Y-%m-%d", file.string(), table},
                       [&](std::string_view c) { csv.feed(c); });
    csv.finish();
    EXPECT_TRUE(r.ok()) << r.errors;
    return rows;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// What a failed import must leave: the source as it was, no target, nothing beside.
void expectUntouched(const ScratchDir& dir, const std::filesystem::path& source,
                     const std::string& sourceBytes, const std::vector<std::string>& before) {
    EXPECT_EQ(fileBytes(source), sourceBytes);
    EXPECT_EQ(cl::test::listing(dir.path), before);
}

}  // namespace

TEST(AccessImport, RealAccessFileArrivesAsMdbExportReadsIt) {
    NEED_FIXTURE();
    ScratchDir dir;
    auto target = dir.path / "out" / "NODE.DB";
    auto report = importAccess(accessFixture(), target, {});
    EXPECT_EQ(fileKind(target), FileKind::SQLite);

    ToolResult r;
    auto names = lines(ToolRunner().capture("mdb-tables", {"-1", accessFixture().string()}, r));
    auto dbConnection = openDatabase(target, OpenMode::ReadOnly);
    Database& db = *dbConnection;
    std::vector<std::string> stored;
    auto st = db.prepare("SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid");
    while (st.step()) stored.push_back(st.value(0).text());
    EXPECT_EQ(stored, names);
    ASSERT_EQ(report.tables.size(), names.size());

    for (const auto& table : names) {
        auto rows = exported(accessFixture(), table);
        ASSERT_FALSE(rows.empty());
        auto header = rows.front();
        rows.erase(rows.begin());
        auto sel = db.prepare("SELECT * FROM \"" + table + "\" ORDER BY rowid");
        size_t n = 0;
        for (; sel.step(); ++n) {
            ASSERT_LT(n, rows.size());
            for (size_t c = 0; c < header.size(); ++c) {
                EXPECT_EQ(sel.columnName(static_cast<int>(c)), header[c].text);
                const auto& want = rows[n][c];
                auto got = sel.value(static_cast<int>(c));
                if (want.isNull())
                    EXPECT_TRUE(got.isNull()) << table << " " << header[c].text;
                else
                    EXPECT_EQ(got.text(), want.text) << table << " " << header[c].text;
            }
        }
        EXPECT_EQ(n, rows.size()) << table;
    }
    // The sample's own content: other scripts, dates as ISO text, Yes/No as 0/1.
    auto user = db.prepare(
        "SELECT UserName, UserSex, UserBirthday, typeof(UserBirthday), UserMarried, "
        "typeof(UserMarried), typeof(UserId) FROM Users WHERE UserId = 3");
    ASSERT_TRUE(user.step());
    EXPECT_EQ(user.value(0).text(), "张三");
    EXPECT_EQ(user.value(1).text(), "男");
    EXPECT_EQ(user.value(2).text(), "1986-12-18");
    EXPECT_EQ(user.value(3).text(), "text");
    EXPECT_EQ(user.value(4).integer(), 1);
    EXPECT_EQ(user.value(5).text(), "integer");
    EXPECT_EQ(user.value(6).text(), "integer");
    user.reset();
    auto types = db.prepare("SELECT name, type FROM pragma_table_info('Users') ORDER BY cid");
    std::string declared;
    while (types.step()) declared += types.value(0).text() + ":" + types.value(1).text() + ";";
    EXPECT_EQ(declared,
              "UserId:INTEGER;UserName:TEXT;UserSex:TEXT;UserBirthday:TEXT;UserMarried:INTEGER;");
    // The source's primary key comes along as a unique index.
    auto idx = db.prepare("SELECT \"unique\" FROM pragma_index_list('Users')");
    ASSERT_TRUE(idx.step());
    EXPECT_EQ(idx.value(0).integer(), 1);
}

TEST(AccessImport, AutoNumberOfTheSampleNumbersNewRowsAsAccessWould) {
    NEED_FIXTURE();
    ScratchDir dir;
    auto target = dir.path / "NODE.DB";
    importAccess(accessFixture(), target, {});
    auto dbConnection = openDatabase(target);
    Database& db = *dbConnection;
    db.exec("INSERT INTO Users (UserName, UserMarried) VALUES ('Zoë', 0)");
    auto id = db.prepare("SELECT UserId FROM Users WHERE UserName = 'Zoë'");
    ASSERT_TRUE(id.step());
    EXPECT_EQ(id.value(0).integer(), 4);
    id.reset();
}

TEST(AccessImport, FailureLeavesSourceAndTargetUntouched) {
    NEED_FIXTURE();
    ScratchDir dir;
    auto source = dir.path / "DATI.MDB";
    std::filesystem::copy_file(accessFixture(), source);
    const auto bytes = fileBytes(source);
    auto before = cl::test::listing(dir.path);
    auto target = dir.path / "NUOVO.DB";

    ScratchDir noTools;
    ImportOptions missing;
    missing.toolDir = noTools.path;
    try {
        importAccess(source, target, missing);
        FAIL() << "imported without mdbtools";
    } catch (const cl::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Manca mdbtools"), std::string::npos) << e.what();
    }
    expectUntouched(dir, source, bytes, before);

    // The target exists already: never overwritten.
    cl::test::writeFile(target, "mio");
    before = cl::test::listing(dir.path);
    EXPECT_THROW(importAccess(source, target, {}), cl::Error);
    EXPECT_EQ(fileBytes(target), "mio");
    expectUntouched(dir, source, bytes, before);
}

TEST(AccessImport, TruncatedFilesAreRefused) {
    NEED_FIXTURE();
    const auto whole = fileBytes(accessFixture());
    // Cut mid-page, and cut at a page boundary (where mdbtools still answers, with complaints).
    for (size_t size : {100000u, 180224u, 65536u}) {
        ScratchDir dir;
        auto source = dir.path / "cut.mdb";
        cl::test::writeFile(source, whole.substr(0, size));
        auto before = cl::test::listing(dir.path);
        try {
            importAccess(source, dir.path / "out.db", {});
            ADD_FAILURE() << "imported a file cut at " << size;
        } catch (const cl::Error& e) {
            std::string m = e.what();
            EXPECT_TRUE(m.find("incompleto") != std::string::npos ||
                        m.find("danneggiato") != std::string::npos)
                << m;
            EXPECT_NE(m.find("nulla è stato cambiato"), std::string::npos) << m;
        }
        expectUntouched(dir, source, whole.substr(0, size), before);
    }
}

TEST(AccessImport, ReplacingKeepsTheOriginalBesideAndReplacesAnOlderOne) {
    NEED_FIXTURE();
    ScratchDir dir;
    auto file = dir.path / "DATI.MDB";
    std::filesystem::copy_file(accessFixture(), file);
    cl::test::writeFile(dir.path / "DATI.MDB.access", "consegna precedente");
    replaceWithSqlite(file, {});
    EXPECT_EQ(fileKind(file), FileKind::SQLite);
    EXPECT_EQ(keptOriginal(file), dir.path / "DATI.MDB.access");
    EXPECT_EQ(fileBytes(dir.path / "DATI.MDB.access"), fileBytes(accessFixture()));
    EXPECT_EQ(cl::test::listing(dir.path),
              (std::vector<std::string>{"DATI.MDB", "DATI.MDB.access"}));
    EXPECT_THROW(replaceWithSqlite(file, {}), cl::Error);  // already SQLite: nothing to do
}

// Stand-in tools give the import a store's file: every text survives, rows are counted.
class StoreShapedImport : public ::testing::Test {
  protected:
    void SetUp() override {
        source = dir.path / "DATI.MDB";
        cl::test::writeFakeAccessFile(source);
        fake.tables(cl::test::tableNamesOf(DatabaseKind::Store));
        fake.schema(cl::test::accessSchemaOf(DatabaseKind::Store));
        fake.indexes("CREATE INDEX \"codean_ean_idx\" ON \"codean\" (\"eanare\");\n");
        options.toolDir = fake.dir();
        options.kind = DatabaseKind::Store;
        options.validate = true;
    }
    // listi01 rows with the 48 store fields: code, description, then blanks, cost, date.
    static std::string listi01Row(const std::string& code, const std::string& desart,
                                  const std::string& cofart, const std::string& datagg) {
        std::string row = code + ",\"" + desart + "\"";
        const auto& fields = tableDef(DatabaseKind::Store, "listi01").fields;
        for (size_t i = 2; i < fields.size(); ++i) {
            row += ",";
            if (fields[i].name == "cofart") row += cofart;
            if (fields[i].name == "datagg") row += datagg;
        }
        return row + "\n";
    }
    ScratchDir dir;
    ScratchDir tools;
    cl::test::FakeMdbtools fake{tools.path / "bin"};
    std::filesystem::path source;
    ImportOptions options;
};

TEST_F(StoreShapedImport, TextsNumbersDatesAndKeysArriveWhole) {
    const std::string memo = "Caffè \"\"Moka\"\", 250 g\r\n€ 1,50 — Ωμέγα 张三 ñ ß";
    fake.rows("listi01", 3,
              listi01Row("1", memo, "12.3400", "\"2024-03-01 00:00:00\"") +
                  listi01Row("2", "PANE", "0.0500", "\"2024-03-01 18:30:00\"") +
                  listi01Row("2", "", "", "\"1899-12-30 00:00:00\""));
    auto target = dir.path / "NUOVO.DB";
    auto report = importAccess(source, target, options);
    EXPECT_EQ(report.rows(), 3);
    ASSERT_EQ(report.notes.size(), 1u);  // codart repeats: "primary" cannot be unique
    EXPECT_NE(report.notes[0].find("\"primary\""), std::string::npos);

    auto dbConnection = openDatabase(target);

    Database& db = *dbConnection;
    auto st =
        db.prepare("SELECT desart, cofart, typeof(cofart), datagg FROM listi01 ORDER BY rowid");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).text(), "Caffè \"Moka\", 250 g\r\n€ 1,50 — Ωμέγα 张三 ñ ß");
    EXPECT_EQ(st.value(1).number(), 12.34);
    EXPECT_EQ(st.value(2).text(), "real");
    EXPECT_EQ(st.value(3).text(), "2024-03-01");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(3).text(), "2024-03-01 18:30:00");
    ASSERT_TRUE(st.step());
    EXPECT_FALSE(st.value(0).isNull());  // a quoted empty text stays an empty text
    EXPECT_EQ(st.value(0).text(), "");
    EXPECT_TRUE(st.value(1).isNull());
    EXPECT_TRUE(st.value(3).isNull());  // Access's zero date: never set
    st.reset();

    // The indexes the lookups rely on are there: the source's barcode index, the program's article
    // key.
    EXPECT_FALSE(indexColumns(db, "keyean").empty());
    const auto key = indexColumns(db, "primary");
    ASSERT_EQ(key.size(), 1u);
    auto byKey = db.prepare("SELECT 1 FROM listi01 WHERE " + quoteName(key[0]) + " = ?");
    EXPECT_TRUE(byKey.bindAll(2LL).step());
    byKey.reset();
    for (const char* name : {"codgru", "reparto", "coduni", "codlis"})
        EXPECT_EQ(db.prepare("SELECT count(*) FROM sqlite_master WHERE type='index' AND name=?")
                      .bindAll(std::string(name))
                      .step(),
                  true);
}

TEST_F(StoreShapedImport, RowsMissingFromTheExportStopTheImport) {
    fake.rows("listi01", 3, listi01Row("1", "A", "1", "") + listi01Row("2", "B", "1", ""));
    auto before = cl::test::listing(dir.path);
    try {
        importAccess(source, dir.path / "NUOVO.DB", options);
        FAIL() << "a short export was accepted";
    } catch (const cl::Error& e) {
        EXPECT_NE(std::string(e.what()).find("dichiara 3 righe, ne sono state lette 2"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(cl::test::listing(dir.path), before);
}

TEST_F(StoreShapedImport, AFileWithoutTheProgramsTablesIsNotPutInPlace) {
    auto names = cl::test::tableNamesOf(DatabaseKind::Store);
    names.erase(std::find(names.begin(), names.end(), "variatil"));
    fake.tables(names);
    auto before = cl::test::listing(dir.path);
    try {
        replaceWithSqlite(source, options);
        FAIL() << "a store without variatil was put in place";
    } catch (const cl::Error& e) {
        EXPECT_NE(std::string(e.what()).find("manca la tabella \"variatil\""), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(cl::test::listing(dir.path), before);
    EXPECT_EQ(fileKind(source), FileKind::Access);
}

TEST_F(StoreShapedImport, MalformedExportsAndEmptyFilesAreRefused) {
    auto before = cl::test::listing(dir.path);
    fake.rows("fornitori", 1, "1,\"a\",\"field too many\"\n");
    try {
        importAccess(source, dir.path / "NUOVO.DB", options);
        FAIL() << "a row with a field too many was accepted";
    } catch (const cl::Error& e) {
        EXPECT_NE(std::string(e.what()).find("ha 3 campi invece di 2"), std::string::npos)
            << e.what();
    }
    fake.rows("fornitori", 1, "1,\"never closed\n");
    EXPECT_THROW(importAccess(source, dir.path / "NUOVO.DB", options), cl::Error);
    fake.tables({});
    try {
        importAccess(source, dir.path / "NUOVO.DB", options);
        FAIL() << "a file without tables was converted";
    } catch (const cl::Error& e) {
        EXPECT_NE(std::string(e.what()).find("non contiene tabelle"), std::string::npos);
    }
    EXPECT_EQ(cl::test::listing(dir.path), before);
}
