#include "support/terminal_runner.h"

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace cl::test {

namespace {

// Reads what the program wrote; false once it has closed the terminal or after a long silence.
bool readSome(int fd, std::string& out) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20000) <= 0) return false;
    char buf[4096];
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    out.append(buf, static_cast<size_t>(n));
    return true;
}

// CL_BINARY, or the program built beside the tests.
std::string program() {
    if (const char* bin = programPath()) return bin;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "controllo-listino")
        .string();
}

}  // namespace

CliResult runOnTerminal(const std::filesystem::path& root, const std::vector<std::string>& words,
                        const std::string& prompt, const std::function<void()>& whileAsked,
                        const std::string& answer) {
    std::vector<std::string> all{program(), "--root", root.string(), "--today", "2026-12-08"};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& w : all) argv.push_back(w.data());
    argv.push_back(nullptr);

    int fd = -1;
    pid_t pid = ::forkpty(&fd, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliResult r;
    if (pid < 0) return r;
    size_t seen = 0;
    while (readSome(fd, r.out)) {
        for (auto at = r.out.find(prompt, seen); at != std::string::npos;
             at = r.out.find(prompt, seen)) {
            seen = at + prompt.size();
            whileAsked();
            std::string line = answer + "\n";
            if (::write(fd, line.data(), line.size()) < 0) break;
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(fd);
    if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
    return r;
}

}  // namespace cl::test
