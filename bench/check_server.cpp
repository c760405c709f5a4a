// Times the check over changed articles on one demo store (every central article marked) kept
// in files and moved to a PostgreSQL server, and prints both times and their ratio. The server
// is the one CL_BENCH_SERVER names (a libpq connection string to its "postgres" database); the
// bench creates a database of its own there, and drops it at the end. The server's copy is
// made by a plain table copy, not by the server command. Usage: bench_check_server [N].
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/server_layout.h"
#include "app/session.h"
#include "check/check_commands.h"
#include "check/start_up.h"
#include "demo/demo_store.h"
#include "store/database.h"
#include "store/identifier.h"

namespace fs = std::filesystem;
using namespace cl;

namespace {

class YesMessages : public Messages {
  public:
    void show(const std::string& text, Icon, const std::string&) override {
        std::cerr << text << "\n";
    }
    Answer ask(const std::string&, const std::string&, Icon, Answer) override {
        return Answer::Yes;
    }
};

// Every row of the tables of one file, copied into the same tables of a server schema.
void copyFile(const fs::path& file, store::Database& server, const std::string& schema) {
    auto source = store::openDatabase(file, store::OpenMode::ReadOnly);
    auto tables =
        server.prepare("SELECT table_name FROM information_schema.tables WHERE table_schema = ?");
    tables.bind(1, store::Value(schema));
    std::vector<std::string> names;
    while (tables.step()) names.push_back(tables.value(0).text());
    for (const auto& table : names) {
        if (!source->tableExists(table)) continue;
        auto columns = server.columns(table, schema);
        std::string list;
        for (const auto& c : columns) list += (list.empty() ? "" : ", ") + store::quoteName(c);
        auto read = source->prepare("SELECT " + list + " FROM " + store::quoteName(table));
        std::vector<store::Value> values;
        size_t rows = 0;
        auto flush = [&] {
            if (rows == 0) return;
            std::string row = "(";
            for (size_t i = 0; i < columns.size(); ++i) row += i ? ",?" : "?";
            row += ")";
            std::string sql = "INSERT INTO " + store::quoteName(schema) + "." +
                              store::quoteName(table) + " (" + list + ") VALUES ";
            for (size_t i = 0; i < rows; ++i) sql += (i ? "," : "") + row;
            auto insert = server.prepare(sql);
            insert.bindAll(values);
            insert.run();
            values.clear();
            rows = 0;
        };
        while (read.step()) {
            for (size_t i = 0; i < columns.size(); ++i)
                values.push_back(read.value(static_cast<int>(i)));
            if (++rows == 500) flush();
        }
        flush();
    }
}

std::string benchDatabase(long long n) {
    return "bench_check_" + std::to_string(getpid()) + "_" + std::to_string(n);
}

std::string moveToServer(const std::string& admin, const fs::path& root, long long n) {
    const std::string name = benchDatabase(n);
    store::openServer(admin, "public", store::OpenMode::Create)->exec("CREATE DATABASE " + name);
    const std::string conninfo = admin + " dbname=" + name;
    auto db = store::openServer(conninfo, "public", store::OpenMode::Create);
    createServerLayout(*db);
    Session files(root, 'C');
    YesMessages messages;
    check::locateDatabases(files, messages);
    store::Transaction tx(*db);
    copyFile(files.host(files.state.nomedb_suite), *db, store::kServerSuiteSchema);
    copyFile(files.host(files.state.nomedb), *db, store::kServerStoreSchema);
    copyFile(files.host(files.state.nomedb_fisso), *db, kFixedSchema);
    tx.commit();
    db->exec("VACUUM ANALYZE");
    return conninfo;
}

// One article check; its seconds and rows written.
std::pair<double, long long> timedCheck(const fs::path& root, const std::string& server) {
    Session session(root, 'C');
    session.server = server;
    YesMessages messages;
    if (!check::locateDatabases(session, messages)) std::exit(1);
    check::CheckScreenState screen;
    check::formLoad(session, screen);
    NullProgress progress;
    auto start = std::chrono::steady_clock::now();
    auto r = check::runArticleCheck(session, screen, messages, progress);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (r.outcome != check::RunOutcome::Done) std::exit(1);
    return {s, r.counts.written};
}

}  // namespace

int main(int argc, char** argv) {
    const char* admin = std::getenv("CL_BENCH_SERVER");
    if (!admin || !*admin) {
        std::cerr << "CL_BENCH_SERVER: stringa di collegamento al server (database postgres)\n";
        return 2;
    }
    long long n = argc > 1 ? std::atoll(argv[1]) : 100000;
    fs::path base = fs::temp_directory_path() / ("bench-check-server-" + std::to_string(getpid()));
    fs::path pristine = base / "store", work = base / "work";
    Session session(pristine, 'C');
    NullProgress quiet;
    demo::createDemo(session, {n, 1, 100}, false, quiet);
    const std::string server = moveToServer(admin, pristine, n);
    fs::copy(pristine, work, fs::copy_options::recursive);
    auto [fileSeconds, fileRows] = timedCheck(work, "");
    auto [serverSeconds, serverRows] = timedCheck(pristine, server);
    std::printf("%-8s %9s %10s %10s\n", "engine", "articles", "seconds", "rows");
    std::printf("%-8s %9lld %10.3f %10lld\n", "sqlite", n, fileSeconds, fileRows);
    std::printf("%-8s %9lld %10.3f %10lld\n", "server", n, serverSeconds, serverRows);
    std::printf("ratio server/sqlite: %.2fx\n", serverSeconds / fileSeconds);
    fs::remove_all(base);
    store::openServer(admin, "public", store::OpenMode::Create)
        ->exec("DROP DATABASE " + benchDatabase(n));
    return fileRows == serverRows ? 0 : 1;
}
