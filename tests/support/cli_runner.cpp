#include "support/cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "store/database.h"

extern char** environ;

namespace cl::test {

namespace fs = std::filesystem;

const char* programPath() {
    return std::getenv("CL_BINARY");
}

namespace {

std::vector<std::string> commandLine(const fs::path& root, const std::vector<std::string>& words,
                                     bool yes) {
    std::vector<std::string> all{programPath(), "--root", root.string(), "--today", "2026-12-08"};
    if (yes) all.push_back("--yes");
    all.insert(all.end(), words.begin(), words.end());
    return all;
}

}  // namespace

pid_t spawnCommand(std::vector<std::string> words, const std::string& out, const std::string& err) {
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start the program");
    return pid;
}

namespace {

std::string slurp(const std::string& file) {
    std::ifstream in(file);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

CliResult runProgram(const fs::path& root, const std::vector<std::string>& words, bool yes) {
    std::string base =
        (fs::temp_directory_path() / ("cl-run-" + std::to_string(getpid()))).string();
    pid_t pid = spawnCommand(commandLine(root, words, yes), base + ".out", base + ".err");
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
    r.out = slurp(base + ".out");
    r.err = slurp(base + ".err");
    fs::remove(base + ".out");
    fs::remove(base + ".err");
    return r;
}

pid_t startProgram(const fs::path& root, const std::vector<std::string>& words, bool yes) {
    return spawnCommand(commandLine(root, words, yes), "/dev/null", "/dev/null");
}

std::map<std::string, std::string> databaseContents(const fs::path& root, std::string& integrity) {
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        auto name = e.path().filename().string();
        if (e.is_regular_file() && name.find("journal") == std::string::npos &&
            (name.ends_with(".mdb") || name.ends_with(".MDB") || name.ends_with(".history")))
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    std::map<std::string, std::string> out;
    for (const auto& file : files) {
        auto dbConnection = store::openDatabase(file);
        store::Database& db = *dbConnection;
        auto check = db.prepare("PRAGMA integrity_check");
        std::string result = check.step() ? check.value(0).text() : "";
        check.reset();
        if (result != "ok") integrity += file.string() + ": " + result + "\n";
        std::vector<std::string> tables;
        auto list = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        while (list.step()) tables.push_back(list.value(0).text());
        std::string all;
        for (const auto& t : tables) {
            std::string cols;
            for (const auto& c : db.columns(t)) {
                // The journal's clock times differ between two runs of the same command.
                if (t == "runs" && (c == "at" || c == "undone_at")) continue;
                cols += (cols.empty() ? "quote(\"" : " || '|' || quote(\"") + c + "\")";
            }
            auto st = db.prepare("SELECT " + cols + " FROM \"" + t + "\" ORDER BY rowid");
            std::hash<std::string> h;
            size_t acc = 0, rows = 0;
            while (st.step()) acc = acc * 1000003u ^ h(st.value(0).text()), ++rows;
            all += t + ":" + std::to_string(rows) + ":" + std::to_string(acc) + ";";
        }
        // A journal created by a run that never got to record anything equals no journal.
        if (file.extension() == ".history" && all.find("runs:0:") != std::string::npos) continue;
        out[fs::relative(file, root).string()] = all;
    }
    return out;
}

void copyTree(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

}  // namespace cl::test
