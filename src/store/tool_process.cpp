#include "store/tool_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "store/error.h"

extern char** environ;

namespace cl::store {

namespace {

bool isExecutable(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

std::vector<char*> pointers(std::vector<std::string>& words) {
    std::vector<char*> out;
    for (auto& w : words) out.push_back(w.data());
    out.push_back(nullptr);
    return out;
}

// Closes the descriptors the parent holds while the child runs, whatever happens.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

std::string readAll(int fd, size_t limit) {
    std::string out;
    char buf[4096];
    ::lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while (out.size() < limit && (n = ::read(fd, buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    return out;
}

}  // namespace

ToolRunner::ToolRunner(std::filesystem::path toolDir, std::map<std::string, std::string> extraEnv)
    : dir_(std::move(toolDir)), extraEnv_(std::move(extraEnv)) {}

std::filesystem::path ToolRunner::find(const std::string& name) const {
    if (!dir_.empty()) return isExecutable(dir_ / name) ? dir_ / name : std::filesystem::path();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string d = dirs.substr(start, end - start);
        if (!d.empty() && isExecutable(std::filesystem::path(d) / name))
            return std::filesystem::path(d) / name;
        start = end + 1;
    }
    return {};
}

std::vector<std::string> ToolRunner::environment() const {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        std::string entry = *e;
        std::string key = entry.substr(0, entry.find('='));
        if (!extraEnv_.count(key)) env.push_back(entry);
    }
    for (const auto& [k, v] : extraEnv_) env.push_back(k + "=" + v);
    return env;
}

ToolResult ToolRunner::run(const std::string& name, const std::vector<std::string>& args,
                           const std::function<void(std::string_view)>& sink) const {
    auto exe = find(name);
    if (exe.empty())
        throw Error("Attenzione ... Manca mdbtools: il programma \"" + name +
                    "\" non è stato trovato. Installare mdbtools (per esempio \"sudo apt install "
                    "mdbtools\") e riprovare.");
    std::vector<std::string> argv{exe.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    auto env = environment();
    auto argp = pointers(argv);
    auto envp = pointers(env);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw Error("Attenzione ... Impossibile avviare " + name + ": " + std::strerror(errno));
    Fd readEnd{pipeFds[0]}, writeEnd{pipeFds[1]};
    std::unique_ptr<FILE, int (*)(FILE*)> errFile(std::tmpfile(), &std::fclose);
    if (!errFile) throw Error("Attenzione ... Impossibile avviare " + name + ": file temporaneo.");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(errFile.get()), 2);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw Error("Attenzione ... Impossibile avviare " + exe.string() + ": " +
                    std::strerror(rc));
    ::close(writeEnd.fd);
    writeEnd.fd = -1;

    char buf[65536];
    std::exception_ptr failure;
    while (true) {
        ssize_t n = ::read(readEnd.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (failure) continue;  // drain, so that the child is never left blocked
        try {
            sink(std::string_view(buf, static_cast<size_t>(n)));
        } catch (...) {
            failure = std::current_exception();
            ::kill(pid, SIGTERM);  // its output is no longer wanted
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (failure) std::rethrow_exception(failure);

    ToolResult result;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.errors = readAll(fileno(errFile.get()), 4096);
    return result;
}

std::string ToolRunner::capture(const std::string& name, const std::vector<std::string>& args,
                                ToolResult& result) const {
    std::string out;
    result = run(name, args, [&](std::string_view chunk) { out.append(chunk); });
    return out;
}

}  // namespace cl::store
