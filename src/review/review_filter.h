#pragma once
#include <optional>
#include <string>
#include <vector>

#include "store/value.h"

namespace cl::store {
class Database;
}

namespace cl::review {

enum class SearchKind { None, Description, Code, SupplierCode, Subgroup, Ean };

// What the review grid shows, as structure rather than appended SQL text, so that every
// sequence of searches and commands gives a valid condition.
struct ReviewFilter {
    std::optional<long long> supplier;     // codfor = supplier (the base condition at load)
    bool selectedOnly = false;             // sel = 'X'
    bool changedOnly = false;              // variati = 'V' (the variation filter)
    std::optional<std::string> ean;        // an EAN search: replaces the supplier condition
    SearchKind search = SearchKind::None;  // one of the other four searches, on top
    std::string searchText;
    // The sort a search left in force after the grid is reloaded without it (none: by the
    // search itself, else by description).
    std::optional<SearchKind> sortBy;
};

struct SqlText {
    std::string text;
    std::vector<store::Value> params;
};

// The grid's column list (aliases as the headings show them).
const std::string& reviewColumns();
// " WHERE ..." (or empty) with bound parameters; LIKE patterns escape the operator's % and _.
SqlText whereClause(const store::Database& db, const ReviewFilter& filter);
// " ORDER BY ...": a total order, the same on every engine (ties by row identity).
std::string orderClause(const store::Database& db, const ReviewFilter& filter);
// Column list + condition + sort: the grid's record source.
SqlText reviewSource(const store::Database& db, const ReviewFilter& filter);
// The operator's text as a LIKE pattern "%text%" with %, _ and the escape itself escaped
// (use with ESCAPE '\').
std::string containsPattern(const std::string& text);

}  // namespace cl::review
