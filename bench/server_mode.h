// The benchmarks' server mode: a PostgreSQL server of their own on this machine (as the tests
// start it), store installations made on it, copied from the database files of a root.
#pragma once
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/server_layout.h"
#include "app/session.h"
#include "store/database.h"
#include "store/identifier.h"
#include "store/schema.h"
#include "support/pg_server.h"

namespace cl::bench {

// Connection strings of databases of one local server.
class LocalServer {
  public:
    std::string conninfo(const std::string& database) const { return server_.conninfo(database); }
    void exec(const std::string& sql) {
        store::openServer(server_.conninfo("postgres"), "public", store::OpenMode::Create)
            ->exec(sql);
    }
    // A new database holding an empty store installation.
    std::string freshStore(const std::string& database) {
        exec("DROP DATABASE IF EXISTS " + store::quoteName(database) + " WITH (FORCE)");
        exec("CREATE DATABASE " + store::quoteName(database));
        auto db = store::openServer(server_.conninfo(database), "public", store::OpenMode::Create);
        createServerLayout(*db);
        return server_.conninfo(database);
    }
    // A copy of `from` named `database` (dropped first when there).
    std::string copyOf(const std::string& from, const std::string& database) {
        exec("DROP DATABASE IF EXISTS " + store::quoteName(database) + " WITH (FORCE)");
        exec("CREATE DATABASE " + store::quoteName(database) + " TEMPLATE " +
             store::quoteName(from));
        return server_.conninfo(database);
    }

    // Every statement run on `database` from now on goes to the server's log, with its time.
    void logStatements(const std::string& database) {
        exec("ALTER DATABASE " + store::quoteName(database) +
             " SET log_min_duration_statement = 0");
        // Without the values bound: writing them would weigh on the times measured.
        exec("ALTER DATABASE " + store::quoteName(database) + " SET log_parameter_max_length = 0");
    }
    std::filesystem::path log() const { return server_.folder() / "server.log"; }

  private:
    test::PgServer server_;
};

// What the server's log shows of one kind of statement: how often it ran and the
// milliseconds the server spent on it (parsing and binding included).
struct LoggedStatement {
    long long count = 0;
    double ms = 0;
    std::string text;
};

// The statements the server's log shows from byte `from` on, counted by their first line, most
// costly first: where the round trips and the server's time of a run go.
inline std::vector<LoggedStatement> loggedStatements(const std::filesystem::path& log,
                                                     std::uintmax_t from) {
    std::ifstream in(log);
    in.seekg(static_cast<std::streamoff>(from));
    std::map<std::string, LoggedStatement> byText;
    std::string line;
    const std::string mark = "LOG:  duration: ";
    while (std::getline(in, line)) {
        auto at = line.find(mark);
        if (at == std::string::npos) continue;
        char* end = nullptr;
        const double ms = std::strtod(line.c_str() + at + mark.size(), &end);
        std::string text = end ? std::string(end) : std::string();
        // "  execute s12: SELECT ...": the step and the statement's name go, its text stays.
        text.erase(0, text.find_first_not_of(" ms"));
        const bool executed = text.rfind("execute ", 0) == 0 || text.rfind("statement: ", 0) == 0;
        if (auto colon = text.find(": "); colon != std::string::npos) text = text.substr(colon + 2);
        auto& s = byText[text.substr(0, 160)];
        s.text = text.substr(0, 160);
        s.ms += ms;
        if (executed) ++s.count;
    }
    std::vector<LoggedStatement> out;
    for (auto& [text, s] : byText) out.push_back(s);
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.ms > b.ms; });
    return out;
}

// Copies every row of the tables of `kind` from a database file into `schema` of the server,
// in rows of many values per statement, the file's row order kept.
inline void copyTables(const std::filesystem::path& file, store::DatabaseKind kind,
                       store::Database& server, const std::string& schema) {
    auto source = store::openDatabase(file, store::OpenMode::ReadOnly);
    constexpr int kRowsPerStatement = 200;
    for (const auto& table : store::schemaOf(kind)) {
        if (!source->tableExists(table.name)) continue;
        const auto columns = source->columns(table.name);
        std::string names, marks;
        for (const auto& c : columns) {
            names += (names.empty() ? "" : ", ") + store::quoteName(c);
            marks += marks.empty() ? "?" : ", ?";
        }
        const std::string into = "INSERT INTO " + store::quoteName(schema) + "." +
                                 store::quoteName(table.name) + " (" + names + ") VALUES ";
        auto read = source->prepare("SELECT " + names + " FROM " + store::quoteName(table.name) +
                                    " ORDER BY " + source->rowIdentity());
        std::vector<store::Value> values;
        auto flush = [&] {
            if (values.empty()) return;
            const size_t rows = values.size() / columns.size();
            std::string sql = into;
            for (size_t r = 0; r < rows; ++r) sql += (r ? ", (" : "(") + marks + ")";
            auto write = server.prepare(sql);
            for (size_t i = 0; i < values.size(); ++i)
                write.bind(static_cast<int>(i + 1), values[i]);
            write.run();
            values.clear();
        };
        while (read.step()) {
            for (int i = 0; i < read.columnCount(); ++i) values.push_back(read.value(i));
            if (values.size() >= columns.size() * kRowsPerStatement) flush();
        }
        flush();
    }
}

// The store, article and suite databases of the installation under `session`'s root, copied
// into the empty installation at `conninfo`, in one transaction.
inline void copyInstallation(const Session& session, const std::string& conninfo) {
    auto server = store::openServer(conninfo, store::kServerStoreSchema);
    store::Transaction tx(*server);
    copyTables(session.host(session.state.nomedb), store::DatabaseKind::Store, *server,
               store::kServerStoreSchema);
    copyTables(session.host(session.state.nomedb_fisso), store::DatabaseKind::FixedArticles,
               *server, kFixedSchema);
    copyTables(session.host(session.state.nomedb_suite), store::DatabaseKind::Suite, *server,
               store::kServerSuiteSchema);
    // The planner's figures and the rows' commit marks, as `server import` leaves them.
    server->exec("ANALYZE");
    tx.commit();
    server->exec("VACUUM");
}

}  // namespace cl::bench
