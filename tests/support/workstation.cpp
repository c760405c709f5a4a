#include "support/workstation.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

#include "store/database.h"
#include "store/identifier.h"

namespace cl::test {

namespace {

void writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

std::string readAll(int fd) {
    std::string out;
    char buf[4096];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

// The same connection string naming another database of the server.
std::string onDatabase(const std::string& conninfo, const std::string& database) {
    auto at = conninfo.find("dbname=");
    if (at == std::string::npos) return conninfo + " dbname=" + database;
    auto end = conninfo.find(' ', at);
    return conninfo.substr(0, at) + "dbname=" + database +
           (end == std::string::npos ? "" : conninfo.substr(end));
}

std::string databaseOf(const std::string& conninfo) {
    auto at = conninfo.find("dbname=");
    if (at == std::string::npos) throw std::runtime_error("nessun dbname in " + conninfo);
    at += 7;
    return conninfo.substr(at, conninfo.find(' ', at) - at);
}

void onAdmin(const std::string& conninfo, const std::string& sql) {
    auto admin =
        store::openServer(onDatabase(conninfo, "postgres"), "public", store::OpenMode::Create);
    admin->exec(sql);
}

}  // namespace

Workstation::Workstation(std::function<std::string()> work) {
    int start[2], report[2];
    if (::pipe(start) != 0 || ::pipe(report) != 0) throw std::runtime_error("pipe non creata");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork non riuscito");
    if (pid_ == 0) {
        ::close(start[1]);
        ::close(report[0]);
        char go = 0;
        while (::read(start[0], &go, 1) < 0 && errno == EINTR) {
        }
        std::string said;
        try {
            said = work();
        } catch (const std::exception& e) {
            said = std::string("ERRORE: ") + e.what();
        } catch (...) {
            said = "ERRORE: sconosciuto";
        }
        writeAll(report[1], said.empty() ? "-" : said);
        // No destructors: the test's server and connections belong to the parent.
        ::_exit(0);
    }
    ::close(start[0]);
    ::close(report[1]);
    startPipe_ = start[1];
    reportPipe_ = report[0];
}

Workstation::~Workstation() {
    if (!finished_) {
        kill();
        finish();
    }
    if (startPipe_ >= 0) ::close(startPipe_);
}

void Workstation::go() {
    if (startPipe_ < 0) return;
    writeAll(startPipe_, "g");
    ::close(startPipe_);
    startPipe_ = -1;
}

void Workstation::kill() {
    if (pid_ > 0 && !finished_) ::kill(pid_, SIGKILL);
    killed_ = true;
}

std::string Workstation::finish() {
    if (finished_) return {};
    if (!killed_) go();
    std::string said = readAll(reportPipe_);
    ::close(reportPipe_);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    finished_ = true;
    return said == "-" ? std::string() : said;
}

OtherWrite writeOnServerFromAnotherProcess(const std::string& conninfo, const std::string& schema,
                                           const std::string& sql) {
    const auto start = std::chrono::steady_clock::now();
    Workstation other([&] {
        auto connection = store::openServer(conninfo, schema);
        store::Transaction tx(*connection);
        connection->exec(sql);
        tx.commit();
        return std::string("ok");
    });
    OtherWrite w;
    w.committed = other.finish() == "ok";
    w.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return w;
}

std::string copyServerDatabase(const std::string& conninfo, const std::string& copy) {
    onAdmin(conninfo, "CREATE DATABASE " + store::quoteName(copy) + " TEMPLATE " +
                          store::quoteName(databaseOf(conninfo)));
    return onDatabase(conninfo, copy);
}

void dropServerDatabase(const std::string& conninfo) {
    onAdmin(conninfo,
            "DROP DATABASE IF EXISTS " + store::quoteName(databaseOf(conninfo)) + " WITH (FORCE)");
}

std::map<std::string, std::string> storeTables(const std::string& conninfo) {
    auto connection = store::openServer(conninfo, store::kServerStoreSchema);
    store::Database& db = *connection;
    std::vector<std::pair<std::string, std::string>> tables;
    auto list = db.prepare(
        "SELECT table_schema, table_name FROM information_schema.tables WHERE table_schema IN "
        "('main', 'fisso') AND table_type = 'BASE TABLE' ORDER BY 1, 2");
    while (list.step()) tables.emplace_back(list.value(0).text(), list.value(1).text());
    std::map<std::string, std::string> out;
    for (const auto& [schema, table] : tables) {
        std::string columns;
        for (const auto& c : db.columns(table, schema))
            columns += (columns.empty() ? "" : ", ") + store::quoteName(c);
        auto st = db.prepare("SELECT " + columns + " FROM " + store::quoteName(schema) + "." +
                             store::quoteName(table) + " ORDER BY rowid");
        std::string& text = out[schema + "." + table];
        while (st.step()) {
            for (int i = 0; i < st.columnCount(); ++i) {
                auto v = st.value(i);
                text += v.isNull() ? "<null>" : v.text();
                text += '|';
            }
            text += '\n';
        }
    }
    return out;
}

}  // namespace cl::test
