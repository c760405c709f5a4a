#pragma once
#include "app/app_state.h"
#include "review/review_filter.h"
#include "review/update_work.h"
#include "store/database.h"

namespace cl::review {

// The values an update run starts from: the supplier of the check, its price-list code, today.
UpdateRun startRun(AppState& state, store::Database& db, const UpdateSettings& settings,
                   Messages& messages, Progress& progress);

// Walks the review view from its first row; the statement is reset however the walk ends.
template <typename PerRow>
void walkReview(store::Database& db, const ReviewFilter& filter, PerRow&& perRow) {
    SqlText source = reviewSource(filter);
    auto& walk = db.prepare(source.text);
    for (size_t i = 0; i < source.params.size(); ++i)
        walk.bind(static_cast<int>(i) + 1, source.params[i]);
    struct Reset {
        store::Statement& st;
        ~Reset() { st.reset(); }
    } reset{walk};
    UpdateRowReader reader(walk);
    while (walk.step()) perRow(reader.read(walk));
}

}  // namespace cl::review
