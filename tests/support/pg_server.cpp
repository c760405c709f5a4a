#include "support/pg_server.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace cl::test {

namespace fs = std::filesystem;

namespace {

constexpr int kPort = 5432;  // only names the socket file: the folder is the test's own

std::string fileText(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

fs::path PgServer::binDir() {
    // Debian keeps the server tools out of PATH, one folder per major version.
    fs::path best;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        fs::path bin = entry.path() / "bin";
        if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl") && bin > best) best = bin;
    }
    return best;
}

PgServer::PgServer() : bin_(binDir()) {
    if (bin_.empty()) throw std::runtime_error("PostgreSQL (initdb, pg_ctl) non installato");
    std::string pattern = (fs::temp_directory_path() / "cl-pg-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cartella temporanea non creata");
    folder_ = pattern;
    data_ = folder_ / "data";
    if (geteuid() == 0) {
        const passwd* pw = getpwnam("postgres");
        if (!pw) pw = getpwnam("nobody");
        if (!pw) throw std::runtime_error("nessun utente senza privilegi per PostgreSQL");
        uid_ = pw->pw_uid;
        gid_ = pw->pw_gid;
        if (chown(folder_.c_str(), uid_, gid_) != 0)
            throw std::runtime_error("cartella del server non assegnata");
    }
    run("initdb", {"-D", data_.string(), "-U", "cl", "--auth=trust", "-E", "UTF8",
                   "--locale=C", "--no-sync"});
    // Only the socket in the test's folder: nothing listens on the network.
    const std::string options = "-k " + folder_.string() + " -p " + std::to_string(kPort) +
                                " -c listen_addresses='' -c fsync=off";
    run("pg_ctl", {"-D", data_.string(), "-l", (folder_ / "server.log").string(), "-o", options,
                   "-w", "-t", "60", "start"});
    started_ = true;
}

PgServer::~PgServer() {
    if (started_) {
        try {
            run("pg_ctl", {"-D", data_.string(), "-m", "immediate", "-w", "stop"});
        } catch (const std::exception&) {
            // The folder goes anyway; a server left behind dies with its removed socket.
        }
    }
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

std::string PgServer::conninfo(const std::string& database) const {
    return "host=" + folder_.string() + " port=" + std::to_string(kPort) +
           " user=cl dbname=" + database;
}

void PgServer::run(const std::string& tool, const std::vector<std::string>& args) const {
    const fs::path log = folder_ / (tool + ".out");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork non riuscito");
    if (pid == 0) {
        if (uid_ != 0 && (setgid(gid_) != 0 || setuid(uid_) != 0)) _exit(126);
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        const std::string path = (bin_ / tool).string();
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(tool + " non riuscito:\n" + fileText(log) +
                                 fileText(folder_ / "server.log"));
}

}  // namespace cl::test
