#pragma once
#include <optional>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "history/check_journal.h"
#include "store/database.h"

namespace cl::history {

// What putting a check back would do, worked out without writing.
struct RestorePlan {
    CheckSummary check;
    long long toMark = 0;         // cleared articles whose mark is still clear: marked again
    long long applied = 0;        // as toMark, but an update since applied their review row:
                                  // marked again only when the operator says so
    long long alreadyMarked = 0;  // marked again since by a newer delivery: left as they are
    long long checkedLater = 0;   // cleared again by a later check: examined since, left
    // Codes that a newer delivery gave to another product (none of the barcodes the check saw,
    // or without barcodes another description): left, and listed.
    std::vector<long long> otherProduct;
    long long reviewRows = 0;  // the check's review rows never applied: removed
    bool operator==(const RestorePlan& o) const {
        return check.id == o.check.id && toMark == o.toMark && applied == o.applied &&
               otherProduct == o.otherProduct && reviewRows == o.reviewRows;
    }
};

// The plan for a check (the newest not put back when none is given). Refusals throw cl::Error
// with the message to show. The journal must be attached.
RestorePlan planRestore(store::Database& db, std::optional<long long> run);
// Marks the articles again (those applied since only with `remarkApplied`), removes the review
// rows, files the check as put back. Inside the caller's transaction. Returns how many
// articles it marked.
long long applyRestore(store::Database& db, const RestorePlan& plan, bool remarkApplied);

// "Ripristina ultimo controllo" (or a given check): the question saying how many articles,
// then, when some were applied since and `remarkApplied` does not say already, whether to mark
// those too (default No); then one transaction over the store, the central database and the
// journal. True when restored.
bool restoreCheck(Session& session, std::optional<long long> run, Messages& messages,
                  std::optional<bool> remarkApplied = std::nullopt);

inline constexpr const char* kRestoreTitle = "Ripristina ultimo controllo";

}  // namespace cl::history
