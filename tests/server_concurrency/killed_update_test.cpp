// Workstations killed with SIGKILL at random moments of an update: the server's tables are
// always as before the update or as after it, never in between.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

#include "server_store.h"
#include "support/workstation.h"

namespace cl::test {
namespace {

using Clock = std::chrono::steady_clock;

int kills() {
    const char* env = std::getenv("CL_CRASH_KILLS");
    return env ? std::atoi(env) : 50;
}

class KilledUpdate : public ServerStoreTest {};

TEST_F(KilledUpdate, FiftyKillsLeaveTheTablesBeforeOrAfter) {
    seed(2000);
    markCentralAgain();
    ASSERT_FALSE(refused(runCheck(session())));
    const auto before = tables(session());

    Session whole = copy();
    const auto t0 = Clock::now();
    const std::string said = Workstation([whole] { return runUpdate(whole); }).finish();
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    ASSERT_FALSE(refused(said)) << said;
    const auto after = tables(whole);
    ASSERT_FALSE(before == after) << "the update changed nothing";
    dropCopy(whole);

    int asBefore = 0, asAfter = 0, between = 0;
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> when(0.0, seconds * 1.1);
    for (int i = 0; i < kills(); ++i) {
        Session work = copy();
        Workstation update([work] { return runUpdate(work); });
        update.go();
        std::this_thread::sleep_for(std::chrono::duration<double>(when(rng)));
        update.kill();
        update.finish();
        const auto now = tables(work);
        if (now == before)
            ++asBefore;
        else if (now == after)
            ++asAfter;
        else
            ++between;
        dropCopy(work);
    }
    std::cout << "[killed update] run " << seconds << " s, kills " << kills() << ", before "
              << asBefore << ", after " << asAfter << ", in between " << between << std::endl;
    EXPECT_EQ(between, 0);
    // The kills fell inside the run, not all before or after it.
    EXPECT_GT(asBefore, 0);
}

}  // namespace
}  // namespace cl::test
