// Moving a store to a real PostgreSQL server and back: the command line on a demo store, and
// the routines on a store with gaps in its row identities and a journal.
#include <gtest/gtest.h>

#include "app/server_layout.h"
#include "serverdata/server_connection.h"
#include "serverdata/server_export.h"
#include "serverdata/server_import.h"
#include "store/error.h"
#include "support/cli_runner.h"
#include "support/need.h"
#include "support/pg_server.h"
#include "support/store_compare.h"
#include "support/temp_dir.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

class MoveStorePg : public ::testing::Test {
  protected:
    void SetUp() override {
        CL_NEED(!test::PgServer::binDir().empty(), "PostgreSQL (initdb, pg_ctl) non installato");
        server = std::make_unique<test::PgServer>();
        serverdata::connectServer(server->conninfo(), store::OpenMode::Create)
            ->exec("CREATE DATABASE negozio");
    }
    std::string conninfo() const { return server->conninfo("negozio"); }
    std::unique_ptr<test::PgServer> server;
};

serverdata::StoreFiles filesUnder(const fs::path& root) {
    Session session(root, 'C');
    struct Quiet : Messages {
        void show(const std::string&, Icon, const std::string&) override {}
        Answer ask(const std::string&, const std::string&, Icon, Answer a) override { return a; }
    } quiet;
    EXPECT_TRUE(session.settoDb(quiet));
    return serverdata::filesOf(session);
}

TEST_F(MoveStorePg, CommandLineInitImportExportGivesBackTheSameTables) {
    test::TempDir demo, back;
    ASSERT_EQ(test::runProgram(demo.path, {"demo", "--articles", "1200"}).exitCode, 0);
    // A journal of one update: the undo on the server must find its rows.
    ASSERT_EQ(test::runProgram(demo.path, {"check"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(demo.path, {"select", "all"}).exitCode, 0);
    auto applied = test::runProgram(demo.path, {"apply"});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;

    auto init = test::runProgram(demo.path, {"--server", conninfo(), "server", "init"});
    ASSERT_EQ(init.exitCode, 0) << init.err;
    auto again = test::runProgram(demo.path, {"--server", conninfo(), "server", "init"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("c'è già un negozio"), std::string::npos) << again.err;

    auto imported = test::runProgram(demo.path, {"--server", conninfo(), "server", "import"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.err.find("main.listi01:"), std::string::npos) << imported.err;
    auto twice = test::runProgram(demo.path, {"--server", conninfo(), "server", "import"});
    EXPECT_EQ(twice.exitCode, 1);

    auto exported = test::runProgram(
        demo.path, {"--server", conninfo(), "server", "export", back.path.string()});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_TRUE(fs::exists(filesUnder(back.path).journal));
    EXPECT_EQ(test::storeDifferences(filesUnder(demo.path), filesUnder(back.path)),
              std::vector<std::string>{});
    auto over = test::runProgram(demo.path,
                                 {"--server", conninfo(), "server", "export", back.path.string()});
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_NE(over.err.find("esiste già"), std::string::npos) << over.err;
}

// Disabled until the store can make the server number new rows after rows copied with their
// own numbers (the identity columns keep counting from 1: "duplicate key ... runs_pkey"), and
// the undo's SQL runs on the server. Enable it with that change.
TEST_F(MoveStorePg, TheProgramWorksOnTheImportedStoreAndNewRowsTakeNewNumbers) {
    test::TempDir demo;
    ASSERT_EQ(test::runProgram(demo.path, {"demo", "--articles", "400"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(demo.path, {"check"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(demo.path, {"select", "all"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(demo.path, {"apply"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(demo.path, {"--server", conninfo(), "server", "init"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(demo.path, {"--server", conninfo(), "server", "import"}).exitCode,
              0);
    // A second week on the server: a check writes review rows, an update creates articles and
    // journal records after the imported ones, an undo finds them all.
    for (std::vector<std::string> words :
         {std::vector<std::string>{"check"}, {"select", "all"}, {"apply"}, {"undo"}}) {
        words.insert(words.begin(), {"--server", conninfo()});
        auto r = test::runProgram(demo.path, words);
        EXPECT_EQ(r.exitCode, 0) << words[2] << ": " << r.err;
    }
}

TEST_F(MoveStorePg, AFailedImportLeavesTheServerEmpty) {
    test::TempDir demo;
    ASSERT_EQ(test::runProgram(demo.path, {"demo", "--articles", "300"}).exitCode, 0);
    auto files = filesUnder(demo.path);
    // A price the server cannot hold as an amount, in the last rows copied of the store.
    store::openDatabase(files.store)
        ->exec(
            "UPDATE listi01 SET przart = 'dieci euro' WHERE codart = (SELECT max(codart) FROM "
            "listi01)");
    createServerLayout(*serverdata::connectServer(conninfo(), store::OpenMode::Create));
    auto db = serverdata::connectServer(conninfo());
    try {
        serverdata::importStore(*db, files);
        FAIL() << "accettato";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("main.listi01"), std::string::npos) << e.what();
    }
    for (const auto& part : serverdata::parts())
        EXPECT_EQ(serverdata::firstTableWithRows(part, {*db, part.schema}), "") << part.schema;
}

}  // namespace
}  // namespace cl
