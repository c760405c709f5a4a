// Two workstations on one server database: check and update, two updates, update and undo,
// started together, leave the tables as the two commands run one after the other do (or as the
// first alone, when the second refused cleanly because the first changed what it was about).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "server_store.h"
#include "support/workstation.h"

namespace cl::test {
namespace {

using Command = std::function<std::string(Session)>;
using Tables = std::map<std::string, std::string>;

constexpr int kArticles = 800;

class Serialise : public ServerStoreTest {
  public:
    // The state after `first` then `second`, each run to its end, on a copy of the store.
    Tables oneAfterTheOther(const Command& first, const Command& second,
                            std::string* saidSecond = nullptr) {
        Session s = copy();
        std::string a = Workstation([&] { return first(s); }).finish();
        EXPECT_FALSE(refused(a)) << a;
        std::string b = Workstation([&] { return second(s); }).finish();
        if (saidSecond) *saidSecond = b;
        return tables(s);
    }
    Tables alone(const Command& command) {
        Session s = copy();
        std::string a = Workstation([&] { return command(s); }).finish();
        EXPECT_FALSE(refused(a)) << a;
        return tables(s);
    }
    // Both at once, `second` `delayMs` after `first`, on a copy of the store.
    Tables atOnce(const Command& first, const Command& second, int delayMs, std::string& saidFirst,
                  std::string& saidSecond) {
        Session s = copy();
        Workstation a([&] { return first(s); });
        Workstation b([&] { return second(s); });
        a.go();
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        b.go();
        saidFirst = a.finish();
        saidSecond = b.finish();
        return tables(s);
    }
    // The store after a check of every central article: its review waits to be applied.
    void reviewWaiting() {
        seed(kArticles);
        ASSERT_FALSE(refused(runCheck(session())));
    }
};

constexpr int kDelaysMs[] = {0, 40, 150};

// The tables whose rows differ, by name: the rows themselves would bury the message.
std::string differing(const Tables& got, const Tables& expected) {
    std::string names;
    for (const auto& [table, rows] : expected) {
        auto it = got.find(table);
        if (it == got.end() || it->second != rows) names += " " + table;
    }
    return names.empty() ? " (none)" : names;
}

TEST_F(Serialise, TwoUpdatesApplyTheReviewOnce) {
    reviewWaiting();
    std::string second;
    const Tables serial = oneAfterTheOther(runUpdate, runUpdate, &second);
    EXPECT_TRUE(refused(second) || second.find("aggiornati 0,") != std::string::npos) << second;
    ASSERT_FALSE(serial == tables(session())) << "the update changed nothing";
    for (int delay : kDelaysMs) {
        std::string a, b;
        const Tables got = atOnce(runUpdate, runUpdate, delay, a, b);
        EXPECT_TRUE(got == serial) << "differing tables:" << differing(got, serial) << "\nstarted "
                                   << delay << " ms apart\nfirst: " << a << "\nsecond: " << b;
    }
}

// `x` and `y` started together in both orders and at each delay leave the tables of x then y,
// of y then x, or of `whenStopped` when the one of them that `stoppable` names refused.
struct Pair {
    Command x, y;
    const char *xName, *yName;
    bool yStoppable;  // else x
};

void expectOneOrder(Serialise& t, const Pair& p, const Tables& xThenY, const Tables& yThenX,
                    const Tables& whenStopped) {
    for (int delay : kDelaysMs) {
        for (bool xFirst : {true, false}) {
            std::string a, b;
            Tables got = xFirst ? t.atOnce(p.x, p.y, delay, a, b) : t.atOnce(p.y, p.x, delay, a, b);
            const std::string& stoppable = (xFirst == p.yStoppable) ? b : a;
            const bool stopped = refused(stoppable) && got == whenStopped;
            EXPECT_TRUE(got == xThenY || got == yThenX || stopped)
                << "differing from " << p.xName << " then " << p.yName << ":"
                << differing(got, xThenY) << "\nfrom " << p.yName << " then " << p.xName << ":"
                << differing(got, yThenX) << "\n"
                << (xFirst ? p.xName : p.yName) << " first, " << delay << " ms apart\nfirst: " << a
                << "\nsecond: " << b;
        }
    }
}

TEST_F(Serialise, CheckAndUpdateLeaveOneOrderOfThem) {
    reviewWaiting();
    markCentralAgain();
    const Tables updateThenCheck = oneAfterTheOther(runUpdate, runCheck);
    const Tables checkThenUpdate = oneAfterTheOther(runCheck, runUpdate);
    const Tables updateOnly = alone(runUpdate);
    ASSERT_FALSE(updateThenCheck == checkThenUpdate) << "the order would not show";
    // The check may ask about the review before the update consumed it, and stop.
    expectOneOrder(*this, {runUpdate, runCheck, "update", "check", true}, updateThenCheck,
                   checkThenUpdate, updateOnly);
}

TEST_F(Serialise, UpdateAndUndoLeaveOneOrderOfThem) {
    reviewWaiting();
    ASSERT_FALSE(refused(runUpdate(session())));
    markCentralAgain();
    ASSERT_FALSE(refused(runCheck(session())));
    const Tables undoThenUpdate = oneAfterTheOther(runUndo, runUpdate);
    const Tables updateThenUndo = oneAfterTheOther(runUpdate, runUndo);
    const Tables updateOnly = alone(runUpdate);
    ASSERT_FALSE(undoThenUpdate == updateThenUndo) << "the order would not show";
    // The undo may refuse, nothing written, because an update came in between.
    expectOneOrder(*this, {runUndo, runUpdate, "undo", "update", false}, undoThenUpdate,
                   updateThenUndo, updateOnly);
}

}  // namespace
}  // namespace cl::test
