#pragma once
#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "review/review_filter.h"
#include "store/database.h"

namespace cl::review {

// Grid columns 1 to 34, in the order of the column list.
inline constexpr int kColumnCount = 34;

// One row of the review grid: the values of columns 1..34 as the database holds them
// (index 0 is the row-heading column and stays empty).
struct ReviewRow {
    std::array<store::Value, kColumnCount + 1> cells;
    // Texts written into cells by the screen (the editor's save) until the next reload.
    std::map<int, std::string> written;
    const store::Value& operator[](int col) const { return cells[static_cast<size_t>(col)]; }
};

// The rows of the grid's record source, read on demand: loading keeps only the row identities in
// the order of the source, so that 100 000 rows open at once and only the rows shown are read.
class ReviewRows {
  public:
    void load(store::Database& db, const ReviewFilter& filter);
    void clear();
    size_t count() const { return identities_.size(); }
    // Valid until the next call to row() (the cache may start afresh then).
    const ReviewRow& row(size_t i) const;
    long long identity(size_t i) const { return identities_.at(i); }
    // The grid row of the row key `bns` (the first, should several rows share it), if the
    // rows loaded hold it. Row numbers change with every load; the key does not.
    std::optional<size_t> find(long long bns) const;
    // Forgets what was read, so that the next read shows the database as it is now.
    void refreshRow(size_t i) const { cache_.erase(i); }
    void refreshAll() const { cache_.clear(); }
    // A cell text written by the screen; kept until the next load.
    void writeCell(size_t i, int col, std::string text);

  private:
    void readBlock(size_t first) const;
    store::Database* db_ = nullptr;
    std::vector<long long> identities_;
    std::unordered_map<size_t, std::map<int, std::string>> written_;
    mutable std::unordered_map<size_t, ReviewRow> cache_;
};

}  // namespace cl::review
