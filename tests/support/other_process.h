#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "support/temp_store.h"

namespace cl::test {

struct OtherWrite {
    bool committed = false;
    std::chrono::milliseconds took{0};
};

// Writes `sql` to `file` from another process, on a connection of its own, in one write
// transaction (BEGIN IMMEDIATE ... COMMIT), and waits for it. The other process waits on a lock
// held here for the busy timeout of every connection, then gives up: `committed` is false.
OtherWrite writeFromAnotherProcess(const std::filesystem::path& file, const std::string& sql);
// The same on the store database (or the fixed-path article database) of `t`, on whichever
// engine the tests run.
OtherWrite writeFromAnotherProcess(TempStore& t, bool fixed, const std::string& sql);

// Messages whose questions wait: before each answer, `whileAsked` runs (the question is still on
// screen), then the answer comes from the queue as RecordingMessages gives it.
class WaitingMessages : public RecordingMessages {
  public:
    std::function<void(const std::string& question)> whileAsked;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Answer defaultAnswer) override {
        if (whileAsked) whileAsked(text);
        return RecordingMessages::ask(text, title, icon, defaultAnswer);
    }
};

// Expects the other process's write to have gone through at once, not after a wait for a lock.
inline void expectWrittenMeanwhile(const OtherWrite& w) {
    EXPECT_TRUE(w.committed) << "another process could not write while the question was open";
    EXPECT_LT(w.took.count(), store::Database::kBusyTimeoutMs / 2);
}

}  // namespace cl::test
