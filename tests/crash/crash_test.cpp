// Kills the command-line runs with SIGKILL at random moments and checks that every database
// is intact and either as it was before the command or as an uninterrupted run leaves it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <thread>

#include "support/cli_runner.h"

namespace cl {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* binary() {
    return test::programPath();
}

int kills() {
    const char* env = std::getenv("CL_CRASH_KILLS");
    return env ? std::atoi(env) : 55;
}

int runToEnd(const fs::path& root, const std::vector<std::string>& command) {
    return test::runProgram(root, command).exitCode;
}

struct Totals {
    int kills = 0, before = 0, after = 0, partial = 0, broken = 0;
};

class CrashTest : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        if (!binary()) GTEST_SKIP() << "CL_BINARY not set";
        dir = fs::temp_directory_path() / ("cl-crash-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        ASSERT_EQ(runToEnd(dir / "base", {"demo", "--articles", "10000", "--seed", "7",
                                          "--changed-share", "100"}),
                  0);
    }
    void TearDown() override { fs::remove_all(dir); }

    // prepare: commands run to the end first; then `command` is killed again and again.
    Totals hammer(const std::vector<std::vector<std::string>>& prepare,
                  const std::vector<std::string>& command) {
        fs::path start = dir / "start", work = dir / "work";
        test::copyTree(dir / "base", start);
        for (const auto& p : prepare) EXPECT_EQ(runToEnd(start, p), 0);
        std::string integrity;
        auto before = test::databaseContents(start, integrity);

        test::copyTree(start, work);
        auto t0 = Clock::now();
        EXPECT_EQ(runToEnd(work, command), 0);
        double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        auto after = test::databaseContents(work, integrity);
        EXPECT_NE(before, after) << "the command changed nothing";

        Totals totals;
        std::mt19937_64 rng(42);
        std::uniform_real_distribution<double> when(0.0, seconds * 1.1);
        for (int i = 0; i < kills(); ++i) {
            test::copyTree(start, work);
            pid_t pid = test::startProgram(work, command);
            std::this_thread::sleep_for(std::chrono::duration<double>(when(rng)));
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            ++totals.kills;
            std::string problems;
            auto now = test::databaseContents(work, problems);
            if (!problems.empty()) ++totals.broken, ADD_FAILURE() << problems;
            if (now == before)
                ++totals.before;
            else if (now == after)
                ++totals.after;
            else
                ++totals.partial;
        }
        std::cout << "[crash] " << command[0] << ": run " << seconds << " s, kills " << totals.kills
                  << ", before " << totals.before << ", after " << totals.after << ", partial "
                  << totals.partial << ", damaged " << totals.broken << std::endl;
        return totals;
    }
};

TEST_F(CrashTest, KilledRunsLeaveEveryDatabaseBeforeOrAfter) {
    // CL_CRASH_ONLY=apply (say) hammers one command alone, for a quick look.
    const char* only = std::getenv("CL_CRASH_ONLY");
    auto wanted = [&](const char* name) { return !only || std::string(only) == name; };
    std::vector<Totals> all;
    if (wanted("check")) all.push_back(hammer({}, {"check"}));
    if (wanted("barcode-check")) all.push_back(hammer({}, {"barcode-check"}));
    if (wanted("recalc"))
        all.push_back(
            hammer({{"check"}, {"select", "all"}}, {"recalc", "--percent", "5", "--round"}));
    if (wanted("apply"))
        all.push_back(hammer({{"check"}, {"select", "all"}},
                             {"apply", "--updates",
                              "cost,markup,price,create,descriptions,departments,groups,units,vat,"
                              "supplier-code,pack"}));
    Totals sum;
    for (const auto& t : all) {
        sum.kills += t.kills, sum.before += t.before, sum.after += t.after;
        sum.partial += t.partial, sum.broken += t.broken;
    }
    std::cout << "[crash] total: kills " << sum.kills << ", before-states " << sum.before
              << ", after-states " << sum.after << ", partial states " << sum.partial
              << ", integrity failures " << sum.broken << std::endl;
    EXPECT_EQ(sum.partial, 0);
    EXPECT_EQ(sum.broken, 0);
}

}  // namespace
}  // namespace cl
