#include <gtest/gtest.h>

#include "app/session.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/temp_dir.h"
#include "support/temp_store.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

// A suite database (or template) at `file` holding the given companies (codute, database).
void makeSuite(const fs::path& file, const std::vector<std::pair<int, store::Value>>& rows) {
    fs::create_directories(file.parent_path());
    store::createDatabase(file.string(), store::DatabaseKind::Suite);
    auto dbConnection = store::openDatabase(file);
    store::Database& db = *dbConnection;
    for (const auto& [code, path] : rows)
        db.prepare("INSERT INTO società (codute, database) VALUES (?, ?)")
            .bindAll(code, path)
            .run();
}

TEST(StoreFolderFrom, StopsAtTheExactTrimmedDatiMdbSegment) {
    EXPECT_EQ(storeFolderFrom("C:\\a\\b\\DATI.MDB"), "C:\\a\\b\\");
    EXPECT_EQ(storeFolderFrom("E:\\negozio\\dati\\DATI.MDB"), "E:\\negozio\\dati\\");
    // Blanks around the last segment still stop the walk; the folder keeps its own blanks.
    EXPECT_EQ(storeFolderFrom("C:\\a\\b\\ DATI.MDB "), "C:\\a\\b\\");
    EXPECT_EQ(storeFolderFrom("C:\\ a \\DATI.MDB"), "C:\\ a \\");
    // Other case: no segment stops the walk, so the file name becomes a folder.
    EXPECT_EQ(storeFolderFrom("C:\\a\\b\\dati.mdb"), "C:\\a\\b\\dati.mdb\\");
    // Segments after DATI.MDB are ignored.
    EXPECT_EQ(storeFolderFrom("C:\\a\\DATI.MDB\\x\\y"), "C:\\a\\");
    // A value without the segment contributes every segment.
    EXPECT_EQ(storeFolderFrom("D:\\negozi\\uno"), "D:\\negozi\\uno\\");
}

TEST(StoreFolderFrom, EmptyOrStartingWithDatiMdbGivesNothing) {
    EXPECT_EQ(storeFolderFrom(""), "");
    EXPECT_EQ(storeFolderFrom("DATI.MDB"), "");
    EXPECT_EQ(storeFolderFrom("  DATI.MDB\\C:\\x"), "");
}

TEST(StoreFolderFrom, ReadsAtMostElevenSegments) {
    std::string path = "C:";
    for (int i = 1; i <= 13; ++i) path += "\\s" + std::to_string(i);
    path += "\\DATI.MDB";
    EXPECT_EQ(storeFolderFrom(path), "C:\\s1\\s2\\s3\\s4\\s5\\s6\\s7\\s8\\s9\\s10\\");
    // Exactly eleven segments with DATI.MDB the eleventh still stops.
    std::string ten = "C:";
    for (int i = 1; i <= 9; ++i) ten += "\\s" + std::to_string(i);
    EXPECT_EQ(storeFolderFrom(ten + "\\DATI.MDB"), ten + "\\");
    EXPECT_EQ(storeFolderFrom(ten + "\\s10\\DATI.MDB"), ten + "\\s10\\");
}

TEST(WindowsPathMapper, MapsDriveLettersAndMatchesSegmentsIgnoringCase) {
    test::TempDir dir;
    store::WindowsPathMapper mapper(dir.path, 'd');
    EXPECT_EQ(mapper.currentDrive(), 'D');
    EXPECT_EQ(mapper.map("C:\\orvik\\DATI.MDB"), dir.path / "C" / "orvik" / "DATI.MDB");
    EXPECT_EQ(mapper.map("e:\\x"), dir.path / "E" / "x");
    // Without a drive, the current one.
    EXPECT_EQ(mapper.map("\\ostrel\\tramel.mdb"), dir.path / "D" / "ostrel" / "tramel.mdb");
    // Existing entries are found in any case, as Windows would.
    fs::create_directories(dir.path / "C" / "Negozio" / "DATI");
    test::writeBytes(dir.path / "C" / "Negozio" / "DATI" / "dati.mdb", "x");
    EXPECT_EQ(mapper.map("C:\\negozio\\dati\\DATI.MDB"),
              dir.path / "C" / "Negozio" / "DATI" / "dati.mdb");
    // An exact name wins over another case.
    test::writeBytes(dir.path / "C" / "Negozio" / "DATI" / "DATI.MDB", "y");
    EXPECT_EQ(mapper.map("C:\\negozio\\dati\\DATI.MDB"),
              dir.path / "C" / "Negozio" / "DATI" / "DATI.MDB");
    // Never outside the root.
    EXPECT_EQ(mapper.map("C:\\..\\..\\etc\\passwd"), dir.path / "C" / "etc" / "passwd");
}

TEST(SettoDb, MissingSuiteAndTemplateShowsTheMessageAndLeavesNomedbUnset) {
    test::TempDir dir;
    Session session(dir.path, 'C');
    test::RecordingMessages messages;
    EXPECT_FALSE(session.settoDb(messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Attenzione ... File C:\\ostrel\\tramel.mdb  non esiste ");
    EXPECT_EQ(messages.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(session.state.nomedb.empty());
    EXPECT_TRUE(session.state.cartella_db.empty());
    EXPECT_FALSE(session.located());
    // The suite folder is created all the same.
    EXPECT_TRUE(fs::is_directory(dir.path / "C" / "ostrel"));
    EXPECT_THROW(session.openStore(), Error);
}

TEST(SettoDb, UsesTheCurrentDriveForSuiteAndFallback) {
    test::TempDir dir;
    makeSuite(dir.path / "D" / "ostrel" / "tramel.mdb", {});
    Session session(dir.path, 'D');
    test::RecordingMessages messages;
    ASSERT_TRUE(session.settoDb(messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(session.state.lettera_drive, 'D');
    EXPECT_EQ(session.state.nomedb_suite, "D:\\ostrel\\tramel.mdb");
    // No company: the fallback folder on the current drive.
    EXPECT_EQ(session.state.cartella_db, "D:\\tramel\\");
    EXPECT_EQ(session.state.nomedb, "D:\\tramel\\DATI.MDB");
    EXPECT_EQ(session.state.nsede, 1);
    EXPECT_EQ(session.host(session.state.nomedb), dir.path / "D" / "tramel" / "DATI.MDB");
}

TEST(SettoDb, CopiesTheTemplateSilently) {
    test::TempDir dir;
    auto templ = dir.path / "C" / "ostrel" / "client.mdb";
    makeSuite(templ, {{1, store::Value("E:\\negozio\\dati\\DATI.MDB")}});
    Session session(dir.path, 'C');
    test::RecordingMessages messages;
    ASSERT_TRUE(session.settoDb(messages));
    EXPECT_TRUE(messages.shown.empty());
    auto suite = dir.path / "C" / "ostrel" / "tramel.mdb";
    ASSERT_TRUE(fs::exists(suite));
    EXPECT_EQ(test::fileBytes(suite), test::fileBytes(templ));
    EXPECT_EQ(session.state.nomedb, "E:\\negozio\\dati\\DATI.MDB");
    EXPECT_EQ(session.host(session.state.nomedb), dir.path / "E" / "negozio" / "dati" / "DATI.MDB");
}

TEST(SettoDb, TakesTheFirstCompanyByCodute) {
    test::TempDir dir;
    makeSuite(dir.path / "C" / "ostrel" / "tramel.mdb", {{7, store::Value("C:\\secondo\\DATI.MDB")},
                                                         {3, store::Value("C:\\primo\\DATI.MDB")}});
    Session session(dir.path, 'C');
    test::RecordingMessages messages;
    ASSERT_TRUE(session.settoDb(messages));
    EXPECT_EQ(session.state.nomedb, "C:\\primo\\DATI.MDB");
}

TEST(SettoDb, EmptyOrNullDatabaseFieldFallsBackToTramel) {
    for (const store::Value& field : {store::Value(""), store::Value(), store::Value("DATI.MDB")}) {
        test::TempDir dir;
        makeSuite(dir.path / "C" / "ostrel" / "tramel.mdb", {{1, field}});
        Session session(dir.path, 'C');
        test::RecordingMessages messages;
        ASSERT_TRUE(session.settoDb(messages));
        EXPECT_EQ(session.state.nomedb, "C:\\tramel\\DATI.MDB") << field.text();
    }
}

TEST(SettoDb, OtherCaseFileNameBecomesAFolder) {
    test::TempDir dir;
    makeSuite(dir.path / "C" / "ostrel" / "tramel.mdb", {{1, store::Value("C:\\a\\b\\dati.mdb")}});
    Session session(dir.path, 'C');
    test::RecordingMessages messages;
    ASSERT_TRUE(session.settoDb(messages));
    EXPECT_EQ(session.state.cartella_db, "C:\\a\\b\\dati.mdb\\");
    EXPECT_EQ(session.state.nomedb, "C:\\a\\b\\dati.mdb\\DATI.MDB");
}

}  // namespace
}  // namespace cl
