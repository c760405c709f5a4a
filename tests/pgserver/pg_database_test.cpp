// The server driver behind the storage interface: values come back as the file engine gives
// them, case-insensitive texts compare and sort as on files, writers wait for each other, and
// every failure is an Italian message of the right kind.
#include "store/pg_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/server_layout.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/need.h"
#include "support/pg_server.h"
#include "support/refusal.h"

namespace cl::store {
namespace {

using test::PgServer;

class PgDriver : public ::testing::Test {
  protected:
    void SetUp() override {
        CL_NEED(!PgServer::binDir().empty(), "PostgreSQL (initdb, pg_ctl) non installato");
        server_ = std::make_unique<PgServer>();
        openServer(server_->conninfo(), "public", OpenMode::Create)->exec("CREATE DATABASE n");
        conninfo_ = server_->conninfo("n");
        createServerLayout(*openServer(conninfo_, "public", OpenMode::Create));
    }
    std::unique_ptr<Database> open(const std::string& schema = "main") {
        return openServer(conninfo_, schema);
    }
    std::vector<std::string> column(Database& db, const std::string& sql) {
        std::vector<std::string> out;
        auto q = db.prepare(sql);
        while (q.step()) out.push_back(q.value(0).text());
        return out;
    }
    std::unique_ptr<PgServer> server_;
    std::string conninfo_;
};

TEST(PgPlaceholders, NumberedOutsideQuotesAndComments) {
    int n = 0;
    EXPECT_EQ(numberPlaceholders("SELECT ? , '?''?' AS \"a?\" -- ?\n WHERE x = ?", n),
              "SELECT $1 , '?''?' AS \"a?\" -- ?\n WHERE x = $2");
    EXPECT_EQ(n, 2);
}

TEST_F(PgDriver, ValuesReadBackAsOnFiles) {
    auto db = open();
    db->prepare("INSERT INTO listi01 (codart, desart, cobart, ricart, datreg) VALUES (?,?,?,?,?)")
        .bindAll(7LL, "PESCHE DELL'ORTO", 12.0, 30.5, "2026-12-08")
        .run();
    EXPECT_EQ(db->changes(), 1);
    EXPECT_GT(db->lastInsertId(), 0);
    db->prepare("INSERT INTO listi01 (codart, cobart) VALUES (?, ?)").bindAll(8LL, 1.2345).run();
    auto q = db->prepare(
        "SELECT codart, desart, cobart, ricart, datreg, przart FROM listi01 "
        "ORDER BY codart");
    ASSERT_TRUE(q.step());
    // A whole amount is a whole number, as a numeric column of a file keeps it.
    EXPECT_EQ(q.value("cobart"), Value(12LL));
    EXPECT_EQ(q.value("codart"), Value(7LL));
    EXPECT_EQ(q.value("ricart"), Value(30.5));
    EXPECT_EQ(q.value("desart"), Value("PESCHE DELL'ORTO"));
    EXPECT_EQ(q.value("datreg"), Value("2026-12-08"));
    EXPECT_TRUE(q.value("przart").isNull());
    ASSERT_TRUE(q.step());
    EXPECT_EQ(q.value("cobart"), Value(1.2345));
    EXPECT_FALSE(q.step());
    // The engine's own row identity column is not one of the table's columns.
    auto cols = db->columns("listi01");
    EXPECT_EQ(cols.front(), "codart");
    EXPECT_EQ(std::count(cols.begin(), cols.end(), "rowid"), 0);
}

TEST_F(PgDriver, TextsCompareAndSortAsTheFileEngineDoes) {
    auto db = open();
    for (const char* d : {"banana", "Ápice", "_x", "BANANA", "arancia", "Zucca", "àpice"})
        db->prepare("INSERT INTO listi01 (desart) VALUES (?)").bindAll(d).run();
    // ASCII letters fold; every other character keeps its code, so accented capitals differ.
    EXPECT_EQ(column(*db, "SELECT desart FROM listi01 WHERE desart = 'Banana' ORDER BY rowid"),
              (std::vector<std::string>{"banana", "BANANA"}));
    EXPECT_EQ(column(*db, "SELECT desart FROM listi01 WHERE desart = 'ÀPICE'").size(), 0u);
    EXPECT_EQ(
        column(*db, "SELECT desart FROM listi01 ORDER BY desart, rowid"),
        (std::vector<std::string>{"_x", "arancia", "banana", "BANANA", "Zucca", "Ápice", "àpice"}));
    // What the operator searches for folds accented letters too.
    auto q = db->prepare("SELECT count(*) FROM listi01 WHERE " + db->foldedLike("desart"));
    q.bind(1, Value("%ÀPICE%"));
    ASSERT_TRUE(q.step());
    EXPECT_EQ(q.value(0).integer(), 1);  // "àpice", not "Ápice" (another accent)
    q.reset().bind(1, Value("%pICE%"));
    ASSERT_TRUE(q.step());
    EXPECT_EQ(q.value(0).integer(), 2);
}

TEST_F(PgDriver, OneTransactionOverEverySchemaAndWritersWaitForEachOther) {
    auto db = open();
    db->attach({}, "fisso");
    {
        Transaction tx(*db);
        db->exec("INSERT INTO listi01 (codart) VALUES (1)");
        db->exec("INSERT INTO fisso.gruppi (codice) VALUES (2)");
    }  // no commit: both undone
    EXPECT_EQ(column(*db, "SELECT count(*) FROM listi01")[0], "0");
    EXPECT_EQ(column(*db, "SELECT count(*) FROM fisso.gruppi")[0], "0");

    auto other = open();
    Transaction held(*other);
    // A reader never waits for a writer; a second writer waits, then gives up as "busy".
    EXPECT_EQ(column(*db, "SELECT count(*) FROM listi01")[0], "0");
    auto r = test::refusal([&] { Transaction second(*db); });
    EXPECT_EQ(r.kind, ErrorKind::Busy);
    EXPECT_NE(r.message.find("in uso da un'altra postazione"), std::string::npos);
}

TEST_F(PgDriver, QueuedWritesAreCheckedForTheRowsTheyMustChange) {
    auto db = open();
    db->exec("INSERT INTO listi01 (codart) VALUES (1)");
    {
        Transaction tx(*db);
        db->prepare("UPDATE listi01 SET przpub = ? WHERE codart = ?").bindAll(2.5, 1).run();
        db->expectChanges(1, "prima");
        db->prepare("UPDATE listi01 SET przpub = ? WHERE codart = ?").bindAll(3.5, 7).run();
        db->expectChanges(1, "manca la riga 7");
        // The count of a queued write is known only when the answers come: at the commit.
        auto r = test::refusal([&] { tx.commit(); });
        EXPECT_EQ(r.message, "manca la riga 7");
    }
    EXPECT_EQ(column(*db, "SELECT przpub FROM listi01")[0], "");
    {
        // A chained write is queued as well, and changes its row with the copies.
        Transaction tx(*db);
        const std::string one =
            db->chainedWriteSql({"", "UPDATE listi01 SET przpub = ? WHERE codart = ?",
                                 "INSERT INTO listi02 (codart, cobart) SELECT codart, przpub",
                                 "INSERT INTO codean (codare, prezzo) SELECT codart, przpub"});
        db->prepare(one).bindAll(4.5, 1).run();
        db->expectChanges(1, "non scritta");
        tx.commit();
    }
    EXPECT_EQ(column(*db, "SELECT przpub FROM listi01")[0], "4.5");
    EXPECT_EQ(column(*db, "SELECT cobart FROM listi02")[0], "4.5");
    EXPECT_EQ(column(*db, "SELECT prezzo FROM codean")[0], "4.5");
}

TEST_F(PgDriver, FailuresAreItalianMessagesOfTheirKind) {
    auto db = open();
    {
        Transaction tx(*db);
        EXPECT_EQ(
            test::refusal([&] { db->exec("INSERT INTO listi01 (codart) VALUES ('x')"); }).kind,
            ErrorKind::InvalidInput);
        // The server answers COMMIT of a failed transaction with a quiet ROLLBACK: not here.
        EXPECT_NE(test::refusal([&] { tx.commit(); }).message, test::kNoRefusal);
    }
    EXPECT_FALSE(db->inTransaction());

    auto victim = open();
    auto pid = column(*victim, "SELECT pg_backend_pid()")[0];
    db->exec("SELECT pg_terminate_backend(" + pid + ")");
    auto lost = test::refusal([&] { column(*victim, "SELECT 1"); });
    EXPECT_NE(lost.message.find("collegamento con il server si è interrotto"), std::string::npos)
        << lost.message;

    auto missing = test::refusal([&] { openServer(conninfo_, "nessuno"); });
    EXPECT_EQ(missing.kind, ErrorKind::NotFound);
    EXPECT_NE(missing.message.find("server init"), std::string::npos);
    auto down = test::refusal([&] { openServer("host=/nonexistent port=1 dbname=n", "main"); });
    EXPECT_EQ(down.kind, ErrorKind::NotFound);
    EXPECT_NE(down.message.find("Impossibile collegarsi al server PostgreSQL"), std::string::npos);
}

TEST_F(PgDriver, LayoutIsMadeOnceWithVersionsAndTheJournal) {
    auto db = openServer(conninfo_, "public", OpenMode::Create);
    EXPECT_TRUE(serverLayoutExists(*db));
    EXPECT_NE(test::refusal([&] { createServerLayout(*db); }).message.find("c'è già un negozio"),
              std::string::npos);
    EXPECT_EQ(db->userVersion("main"), kSchemaVersion);
    EXPECT_TRUE(db->tableExists("runs", "storia"));
    EXPECT_TRUE(db->tableExists("società", "suite"));
    EXPECT_GT(db->userVersion("storia"), 0);
}

}  // namespace
}  // namespace cl::store
