// Each hostile supplier file is read or refused, in Italian, within 300 MB more than the test
// process holds and a few seconds: never a crash, an English text or a wait without end.
#include "pricelist/hostile_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <new>

#include "pricelist/price_list.h"
#include "store/error.h"
#include "support/temp_dir.h"

namespace cl::pricelist {
namespace {

constexpr rlim_t kBound = 300ull << 20;

long long addressSpaceBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    statm >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

struct Outcome {
    int exit = -1;        // 0 read or refused; 3 out of memory; 4 another exception
    std::string message;  // the refusal, empty when read
};

// Reads the file in a child process bound to kBound more address space and 20 s.
Outcome readBounded(const std::filesystem::path& file, bool streamed) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        rlimit limit{rlim_t(addressSpaceBytes()) + kBound, rlim_t(addressSpaceBytes()) + kBound};
        setrlimit(RLIMIT_AS, &limit);
        alarm(20);
        int code = 0;
        std::string message;
        try {
            if (streamed) {
                readPriceListRows(file, std::nullopt, std::nullopt);
            } else {
                Sheet s = readPriceListFile(file);
                extractRows(s, columnsFor(s, std::nullopt));
            }
        } catch (const Error& e) {
            message = e.what();
        } catch (const std::bad_alloc&) {
            code = 3;
        } catch (...) {
            code = 4;
        }
        [[maybe_unused]] auto n = write(fds[1], message.data(), message.size());
        _exit(code);
    }
    close(fds[1]);
    Outcome out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.message.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    out.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    return out;
}

TEST(HostileFiles, EachIsReadOrRefusedWithinBoundsInItalian) {
    test::TempDir dir;
    const auto files = test::hostileFiles();
    int refused = 0;
    for (const auto& h : files) {
        SCOPED_TRACE(h.name);
        const auto file = h.make(dir.path);
        const Outcome sheet = readBounded(file, false);
        const Outcome o = readBounded(file, true);  // as the command line reads
        EXPECT_EQ(sheet.exit, 0);
        EXPECT_EQ(sheet.message, o.message);
        EXPECT_EQ(o.exit, 0) << "3: memoria; 4: eccezione; 100+: segnale";
        refused += o.message.empty() ? 0 : 1;
        for (const char* english : {"not ", "error", "invalid", "bad_alloc", "std::", "failed",
                                    "mismatched", "token", "syntax", "memory"})
            EXPECT_EQ(o.message.find(english), std::string::npos) << o.message;
        EXPECT_LT(o.message.size(), 400u) << o.message;  // cells quoted at most 80 characters
    }
    // The README's reliability table names this count.
    EXPECT_EQ(files.size(), 16u);
    EXPECT_EQ(refused, 12);
}

// A million rows, as the command line reads them: within the same bound.
TEST(SlowHostileFiles, MillionRowCsvIsReadWithinBounds) {
    test::TempDir dir;
    const auto file = test::writeBigCsv(dir.path / "grande.csv", 1'000'000);
    const Outcome o = readBounded(file, true);
    EXPECT_EQ(o.exit, 0) << "3: memoria; 4: eccezione; 100+: segnale";
    EXPECT_EQ(o.message, "");
}

}  // namespace
}  // namespace cl::pricelist
