#pragma once
#include <vector>

#include "check/run_support.h"
#include "store/database.h"

namespace cl::check {

// The rows a run writes to the work table, stored a block at a time: one statement per block
// rather than one per row, which on a server would cost a round trip for every article. The
// rows go in the order they were added, exactly as one INSERT each would store them. flush()
// stores what is pending; a run calls it before anything reads the work table back, and rows
// still pending when a run fails are simply dropped with its transaction.
class WorkRows {
  public:
    static constexpr size_t kBlockRows = 64;

    explicit WorkRows(store::Database& db) : db_(db) {}
    void add(const VariatilRow& row);
    void flush();
    size_t pending() const { return pending_.size(); }

  private:
    store::Database& db_;
    std::vector<VariatilRow> pending_;
};

}  // namespace cl::check
