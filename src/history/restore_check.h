#pragma once
#include <optional>

#include "app/interfaces.h"
#include "app/session.h"
#include "history/check_journal.h"
#include "store/database.h"

namespace cl::history {

// What putting a check back would do, worked out without writing.
struct RestorePlan {
    CheckSummary check;
    long long toMark = 0;         // cleared articles whose mark is still clear: marked again
    long long alreadyMarked = 0;  // marked again since by a newer delivery: left as they are
    long long checkedLater = 0;   // cleared again by a later check: examined since, left
    long long reviewRows = 0;     // the check's review rows never applied: removed
    bool operator==(const RestorePlan& o) const {
        return check.id == o.check.id && toMark == o.toMark && reviewRows == o.reviewRows;
    }
};

// The plan for a check (the newest not put back when none is given). Refusals throw cl::Error
// with the message to show. The journal must be attached.
RestorePlan planRestore(store::Database& db, std::optional<long long> run);
// Marks the articles again, removes the review rows, files the check as put back. Inside the
// caller's transaction.
void applyRestore(store::Database& db, const RestorePlan& plan);

// "Ripristina ultimo controllo" (or a given check): the question saying how many articles, then
// one transaction over the store, the central database and the journal. True when restored.
bool restoreCheck(Session& session, std::optional<long long> run, Messages& messages);

inline constexpr const char* kRestoreTitle = "Ripristina ultimo controllo";

}  // namespace cl::history
