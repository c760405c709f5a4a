#pragma once
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "support/temp_store.h"

namespace cl::test {

// The supplier every scenario checks and updates.
inline constexpr long long kSupplier = 12;

// A store on the tests' own PostgreSQL server, whatever engine the other suites run on, with
// copies of it for the same commands run one after the other.
class ServerStoreTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Supplier 12; `articles` central articles marked changed, two in three known to the store.
    void seed(int articles);
    // The central articles marked changed again, their costs up by a tenth.
    void markCentralAgain();
    // A copy of the store as it is now (dropped at the end of the test): a session on it.
    Session copy();
    // Drops a copy before the end of the test.
    void dropCopy(const Session& copy);
    const Session& session() const { return ts->session; }
    std::map<std::string, std::string> tables(const Session& s) const;

    std::optional<TempStore> ts;

  private:
    std::vector<std::string> copies_;
};

// The commands as a workstation runs them from the start, on connections of their own. Each
// answers Yes to every question and returns what it did and what it said, for the test to show.
std::string runCheck(Session session);
std::string runUpdate(Session session);
std::string runUndo(Session session);

// Whether a command's report says it was refused or failed, nothing written.
bool refused(const std::string& said);

}  // namespace cl::test
