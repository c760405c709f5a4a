// Moving a store between its SQLite files and a server's schemas: set-up, import and export.
// The server here is a stand-in of SQLite files, one per schema on one connection; the same
// routines run against a real server in the tests that start one.
#include <gtest/gtest.h>

#include "demo/demo_store.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "serverdata/server_export.h"
#include "serverdata/server_import.h"
#include "store/error.h"
#include "store/schema.h"
#include "support/older_journal.h"
#include "support/store_compare.h"
#include "support/temp_dir.h"

namespace cl {
namespace {

namespace fs = std::filesystem;
using serverdata::StoreFiles;

// The four schemas as files, attached to one connection as they are reached on a server.
struct FileServer {
    test::TempDir dir;
    std::unique_ptr<store::Database> db;
    FileServer() {
        db = store::openDatabase(dir.path / "main.db", store::OpenMode::Create);
        for (const char* schema : {kFixedSchema, "suite", history::kHistorySchema})
            db->attach(dir.path / (std::string(schema) + ".db"), schema, store::OpenMode::Create);
    }
    // What "server init" makes on a server: every table, empty.
    void init() {
        store::Transaction tx(*db);
        for (const auto& part : serverdata::parts()) {
            if (part.kind) {
                store::createTables(*db, *part.kind, part.schema);
                db->setUserVersion(store::kSchemaVersion, part.schema);
            } else {
                history::upgradeJournal(*db, part.schema);
            }
        }
        tx.commit();
    }
    long long rows(const std::string& schema, const std::string& table) {
        return serverdata::countRows(*db, schema, table);
    }
};

// A demo store, with gaps in the row identities and a journal of one run.
struct DemoStore {
    test::TempDir dir;
    Session session{dir.path, 'C'};
    StoreFiles files;
    DemoStore() {
        NullProgress quiet;
        demo::DemoOptions options;
        options.articles = 700;  // more rows than one batch
        demo::createDemo(session, options, false, quiet);
        RecordingQuiet messages;
        EXPECT_TRUE(session.settoDb(messages));
        files = serverdata::filesOf(session);
        auto store = store::openDatabase(files.store);
        store->exec("DELETE FROM listi01 WHERE codart % 7 = 3");
        history::createJournalFile(files.journal);
        auto journal = store::openDatabase(files.journal);
        journal->exec(
            "INSERT INTO runs (id, day, at, kind, supplier) "
            "VALUES (1, '2026-12-08', '2026-12-08 09:00:00', 'Aggiorna', 12);"
            "INSERT INTO changes (id, run, tbl, op, row, article) "
            "VALUES (1, 1, 'listi01', 'U', 5, 5), (2, 1, 'listi01', 'U', 9, 9);");
        history::ensureCopyTables(*journal, "main", "listi01", {"codart", "przart"});
        journal->exec(
            "INSERT INTO before_listi01 VALUES (1, 5, 2.35), (2, 9, '1,20');"
            "INSERT INTO after_listi01 VALUES (1, 5, 2.5), (2, 9, 1.3);"
            "INSERT INTO review_left (run, row, bns) VALUES (1, 4, NULL), (1, 2, 7);");
    }
    struct RecordingQuiet : Messages {
        void show(const std::string&, Icon, const std::string&) override {}
        Answer ask(const std::string&, const std::string&, Icon, Answer a) override { return a; }
    };
};

std::string refusalOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "(accettato)";
}

TEST(MoveStore, ImportThenExportGivesBackTheSameTablesValueByValue) {
    DemoStore demo;
    FileServer server;
    server.init();
    std::vector<std::string> told;
    auto report = serverdata::importStore(
        *server.db, demo.files, [&](const std::string& s, const std::string& t, long long) {
            told.push_back(s + "." + t);
        });
    EXPECT_TRUE(report.journal);
    EXPECT_EQ(server.rows("main", "listi01"),
              serverdata::countRows(*store::openDatabase(demo.files.store), "main", "listi01"));
    EXPECT_EQ(server.rows(history::kHistorySchema, "before_listi01"), 2);
    // Progress comes table by table, in batches for the long ones.
    EXPECT_NE(std::find(told.begin(), told.end(), "main.listi01"), told.end());
    EXPECT_GT(std::count(told.begin(), told.end(), "main.codean"), 1);

    test::TempDir back;
    auto exported = serverdata::exportStore(*server.db, back.path, 'C');
    EXPECT_TRUE(exported.journal);
    EXPECT_EQ(exported.files.store, back.path / "C" / "negozio" / "dati" / "DATI.MDB");
    EXPECT_EQ(test::storeDifferences(demo.files, exported.files), std::vector<std::string>{});
    // The program finds the exported files where it looks for them.
    Session again(back.path, 'C');
    DemoStore::RecordingQuiet quiet;
    ASSERT_TRUE(again.settoDb(quiet));
    EXPECT_EQ(serverdata::filesOf(again).store, exported.files.store);
    EXPECT_NO_THROW(again.openStore(true));
    for (const auto& entry : fs::recursive_directory_iterator(back.path))
        EXPECT_EQ(entry.path().string().find(".tmp-export"), std::string::npos) << entry.path();
}

TEST(MoveStore, ImportRefusesAServerNotSetUpOrNotEmptyWithNothingWritten) {
    DemoStore demo;
    FileServer server;
    EXPECT_NE(refusalOf([&] {
                  serverdata::importStore(*server.db, demo.files);
              }).find("eseguire prima \"controllo-listino server init\""),
              std::string::npos);
    server.init();
    serverdata::importStore(*server.db, demo.files);
    const long long articles = server.rows("main", "listi01");
    EXPECT_EQ(refusalOf([&] { serverdata::importStore(*server.db, demo.files); }),
              "Attenzione ... Sul server la tabella main.codean contiene già dei dati: nulla è "
              "stato importato.");
    EXPECT_EQ(server.rows("main", "listi01"), articles);
}

TEST(MoveStore, AFailureHalfWayRollsBackEverySchema) {
    DemoStore demo;
    FileServer server;
    server.init();
    // The journal's last table cannot take the rows: the store's tables are copied by then.
    server.db->exec("DROP TABLE storia.review_left");
    server.db->exec(
        "CREATE TABLE storia.review_left (run INTEGER NOT NULL, row INTEGER NOT NULL, "
        "bns INTEGER NOT NULL)");
    EXPECT_NE(refusalOf([&] {
                  serverdata::importStore(*server.db, demo.files);
              }).find("La copia della tabella storia.review_left non è riuscita: "),
              std::string::npos);
    EXPECT_FALSE(server.db->inTransaction());
    for (const auto& part : serverdata::parts())
        EXPECT_EQ(serverdata::firstTableWithRows(part, {*server.db, part.schema}), "")
            << part.schema;
}

TEST(MoveStore, AnOlderJournalIsUpgradedOnACopyAndANewerOneRefused) {
    DemoStore demo;
    {
        auto journal = store::openDatabase(demo.files.journal);
        test::backToJournalVersion3(*journal, "main");
        journal->exec("DROP TABLE check_rows");
        journal->setUserVersion(2);
    }
    const std::string before = test::fileBytes(demo.files.journal);
    FileServer server;
    server.init();
    serverdata::importStore(*server.db, demo.files);
    EXPECT_EQ(test::fileBytes(demo.files.journal), before) << "the store's files are only read";
    EXPECT_EQ(server.db->userVersion(history::kHistorySchema), history::kJournalVersion);
    EXPECT_EQ(server.rows(history::kHistorySchema, "changes"), 2);

    store::openDatabase(demo.files.journal)->setUserVersion(history::kJournalVersion + 1);
    FileServer other;
    other.init();
    EXPECT_NE(refusalOf([&] {
                  serverdata::importStore(*other.db, demo.files);
              }).find("versione più recente"),
              std::string::npos);
    EXPECT_EQ(other.rows("main", "listi01"), 0);
}

TEST(MoveStore, ColumnsTheServerHasNoPlaceForAreReportedNotLostSilently) {
    DemoStore demo;
    store::openDatabase(demo.files.store)->exec("ALTER TABLE listi01 ADD COLUMN nota TEXT");
    FileServer server;
    server.init();
    auto report = serverdata::importStore(*server.db, demo.files);
    std::vector<std::string> leftOut;
    for (const auto& t : report.tables)
        for (const auto& c : t.leftOut) leftOut.push_back(t.schema + "." + t.table + "." + c);
    EXPECT_EQ(leftOut, std::vector<std::string>{"main.listi01.nota"});
}

TEST(MoveStore, ExportRefusesToOverwriteAndLeavesNothingBehind) {
    DemoStore demo;
    FileServer server;
    server.init();
    serverdata::importStore(*server.db, demo.files);
    test::TempDir back;
    test::writeBytes(back.path / "C" / "orvik" / "DATI.MDB", "mio");
    EXPECT_NE(refusalOf([&] {
                  serverdata::exportStore(*server.db, back.path, 'C');
              }).find("DATI.MDB esiste già: non viene sovrascritto. Nulla è stato esportato."),
              std::string::npos);
    EXPECT_EQ(test::fileBytes(back.path / "C" / "orvik" / "DATI.MDB"), "mio");
    EXPECT_FALSE(fs::exists(back.path / "C" / "ostrel" / "tramel.mdb"));
    EXPECT_FALSE(fs::exists(back.path / "C" / "negozio"));

    // Without a journal on the server no journal file is made.
    FileServer bare;
    bare.init();
    test::TempDir empty;
    auto exported = serverdata::exportStore(*bare.db, empty.path, 'C');
    EXPECT_FALSE(exported.journal);
    EXPECT_FALSE(fs::exists(exported.files.journal));
    EXPECT_TRUE(fs::exists(empty.path / "C" / "tramel" / "DATI.MDB"));
}

TEST(MoveStore, BatchesStayWithinTheEnginesLimitsOnBoundValues) {
    EXPECT_EQ(serverdata::rowsPerBatch(1), 500);
    EXPECT_EQ(serverdata::rowsPerBatch(49), 500);
    EXPECT_EQ(serverdata::rowsPerBatch(100), 300);
    EXPECT_EQ(serverdata::rowsPerBatch(40000), 1);
    for (int columns : {1, 7, 49, 61, 333, 5000})
        EXPECT_LE(serverdata::rowsPerBatch(columns) * columns, 30000 + columns) << columns;
}

}  // namespace
}  // namespace cl
