// A store made read-only while an update runs: the update either completes before, or fails
// with a message; whatever the moment, the store is afterwards as it was or fully updated.
// The program runs as an unprivileged user, for whom file permissions count.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "support/cli_runner.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kApply{"apply", "--updates",
                                      "cost,markup,price,create,supplier-code"};

void ownedByNobody(const fs::path& root) {
    std::string cmd = "chown -R nobody:nogroup '" + root.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
}

pid_t startAsNobody(const fs::path& root, const std::string& err) {
    std::vector<std::string> words{
        "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", test::programPath(),
        "--root",  root.string(),   "--today",       "2026-12-08",     "--yes"};
    words.insert(words.end(), kApply.begin(), kApply.end());
    return test::spawnCommand(words, "/dev/null", err);
}

void setWritable(const fs::path& storeDir, bool writable) {
    using fs::perms;
    fs::permissions(storeDir, writable ? perms::owner_all | perms::group_read | perms::others_read |
                                             perms::group_exec | perms::others_exec
                                       : perms::owner_read | perms::owner_exec | perms::group_read |
                                             perms::others_read | perms::others_exec);
    fs::permissions(
        storeDir / "DATI.MDB",
        writable ? perms::owner_read | perms::owner_write | perms::group_read | perms::others_read
                 : perms::owner_read | perms::group_read | perms::others_read);
}

TEST(FaultDuringRun, StoreMadeReadOnlyWhileAnUpdateRuns) {
    if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
    if (getuid() != 0 || std::system("setpriv --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs root and setpriv to run the program as another user";
    fs::path dir = fs::temp_directory_path() / ("cl-rorun-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::all);
    fs::path start = dir / "start", work = dir / "work";
    ASSERT_EQ(test::runProgram(
                  start, {"demo", "--articles", "3000", "--seed", "4", "--changed-share", "100"})
                  .exitCode,
              0);
    ASSERT_EQ(test::runProgram(start, {"check"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(start, {"select", "all"}).exitCode, 0);
    std::string integrity;
    auto before = test::databaseContents(start, integrity);
    test::copyTree(start, work);
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(test::runProgram(work, kApply).exitCode, 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    auto after = test::databaseContents(work, integrity);
    after.erase("C/negozio/dati/DATI.history");  // clock times of the journal differ per run

    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> when(0.0, seconds);
    int failed = 0, completed = 0;
    const fs::path storeDir = work / "C/negozio/dati";
    for (int i = 0; i < 12; ++i) {
        test::copyTree(start, work);
        ownedByNobody(work);
        std::string err = (dir / "err.txt").string();
        pid_t pid = startAsNobody(work, err);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::duration<double>(when(rng)));
        setWritable(storeDir, false);
        int status = 0;
        waitpid(pid, &status, 0);
        setWritable(storeDir, true);
        ASSERT_TRUE(WIFEXITED(status)) << "the program was killed by a signal";
        auto now = test::databaseContents(work, integrity);
        ASSERT_EQ(integrity, "");
        now.erase("C/negozio/dati/DATI.history");
        auto expectedBefore = before;
        expectedBefore.erase("C/negozio/dati/DATI.history");
        if (WEXITSTATUS(status) == 0) {
            ++completed;
            EXPECT_EQ(now, after);
        } else {
            ++failed;
            EXPECT_EQ(WEXITSTATUS(status), 1);
            EXPECT_EQ(now, expectedBefore);
            EXPECT_NE(test::runProgram(work, {"review", "--csv"}).exitCode, -1);
        }
    }
    std::cout << "[read-only during run] updates failed with a message " << failed
              << ", completed before the change " << completed << ", partial 0" << std::endl;
    EXPECT_GT(failed, 0);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace cl
