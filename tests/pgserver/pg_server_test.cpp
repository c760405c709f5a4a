// The tests' own PostgreSQL server: it starts from nothing, keeps to its folder, takes bound
// values, makes one transaction over several schemas, and leaves nothing behind.
#include "support/pg_server.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/need.h"

namespace {

using cl::test::PgServer;

struct Connection {
    explicit Connection(const std::string& info) : conn(PQconnectdb(info.c_str())) {}
    ~Connection() { PQfinish(conn); }
    bool ok() const { return PQstatus(conn) == CONNECTION_OK; }
    // The first value of the result, or the server's message when the statement failed.
    std::string exec(const std::string& sql, const std::vector<std::string>& params = {}) {
        std::vector<const char*> values;
        for (const auto& p : params) values.push_back(p.c_str());
        PGresult* r = PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0);
        std::string out;
        ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_TUPLES_OK && PQntuples(r) > 0)
            out = PQgetvalue(r, 0, 0);
        else if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            out = std::string("ERRORE: ") + PQerrorMessage(conn);
        PQclear(r);
        return out;
    }
    PGconn* conn;
};

TEST(PgServer, StartsTakesBoundValuesAndRollsBackAcrossSchemas) {
    CL_NEED(!PgServer::binDir().empty(), "PostgreSQL (initdb, pg_ctl) non installato");
    std::filesystem::path folder;
    {
        PgServer server;
        folder = server.folder();
        Connection c(server.conninfo());
        ASSERT_TRUE(c.ok()) << PQerrorMessage(c.conn);
        EXPECT_EQ(c.exec("SHOW listen_addresses"), "");

        EXPECT_EQ(c.exec("CREATE SCHEMA negozio"), "");
        EXPECT_EQ(c.exec("CREATE SCHEMA archivio"), "");
        EXPECT_EQ(c.exec("CREATE TABLE negozio.listi01 (codart integer, dscart text)"), "");
        EXPECT_EQ(c.exec("CREATE TABLE archivio.tramel (codart integer, flag text)"), "");
        EXPECT_EQ(c.exec("INSERT INTO negozio.listi01 VALUES ($1, $2)", {"7", "PESCHE DELL'ORTO"}),
                  "");
        EXPECT_EQ(
            c.exec("SELECT dscart FROM negozio.listi01 WHERE dscart = $1", {"PESCHE DELL'ORTO"}),
            "PESCHE DELL'ORTO");

        // One transaction over two schemas is undone as a whole.
        EXPECT_EQ(c.exec("BEGIN"), "");
        EXPECT_EQ(c.exec("UPDATE negozio.listi01 SET dscart = 'X'"), "");
        EXPECT_EQ(c.exec("INSERT INTO archivio.tramel VALUES (7, 'S')"), "");
        EXPECT_EQ(c.exec("ROLLBACK"), "");
        EXPECT_EQ(c.exec("SELECT dscart FROM negozio.listi01"), "PESCHE DELL'ORTO");
        EXPECT_EQ(c.exec("SELECT count(*) FROM archivio.tramel"), "0");
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(PgServer, TwoServersLiveSideBySide) {
    CL_NEED(!PgServer::binDir().empty(), "PostgreSQL (initdb, pg_ctl) non installato");
    PgServer a, b;
    Connection ca(a.conninfo()), cb(b.conninfo());
    ASSERT_TRUE(ca.ok());
    ASSERT_TRUE(cb.ok());
    EXPECT_EQ(ca.exec("CREATE TABLE solo_a (x integer)"), "");
    EXPECT_EQ(cb.exec("SELECT count(*) FROM pg_tables WHERE tablename = 'solo_a'"), "0");
}

}  // namespace
