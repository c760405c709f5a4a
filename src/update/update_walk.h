#pragma once
#include "app/app_state.h"
#include "app/money.h"
#include "review/review_filter.h"
#include "store/database.h"
#include "store/fixed_text.h"
#include "update/update_work.h"

namespace cl::review {

// Review rows the update reads, and looks up for, at a time.
inline constexpr size_t kUpdateBlock = 64;

// The values an update run starts from: the supplier of the check, its price-list code, today.
UpdateRun startRun(AppState& state, store::Database& db, const UpdateSettings& settings,
                   Messages& messages, Progress& progress);

// Walks the review view from its first row, a block of rows at a time: `perBlock` sees each
// block before `perRow` sees its rows, so that their look-ups can be read together. The
// statement is reset however the walk ends.
template <typename PerBlock, typename PerRow>
void walkReviewInBlocks(store::Database& db, const ReviewFilter& filter, PerBlock&& perBlock,
                        PerRow&& perRow) {
    SqlText source = reviewSource(db, filter);
    auto walk = db.prepare(source.text);
    for (size_t i = 0; i < source.params.size(); ++i)
        walk.bind(static_cast<int>(i) + 1, source.params[i]);
    struct Reset {
        store::Query& st;
        ~Reset() { st.reset(); }
    } reset{walk};
    UpdateRowReader reader(walk);
    std::vector<UpdateRow> block;
    for (bool more = true; more;) {
        block.clear();
        while (block.size() < kUpdateBlock && (more = walk.step()))
            block.push_back(reader.read(walk));
        if (block.empty()) break;
        perBlock(block);
        for (const UpdateRow& row : block) {
            try {
                perRow(row);
            } catch (const AmountError& e) {
                // An amount out of range names the row, so that the operator can correct it.
                throw AmountError("Articolo " + row.codart.text() + " \"" +
                                  store::trimmed(row.descrizione.text()) + "\" (riga bns " +
                                  row.bns.text() + "): " + e.what());
            }
        }
    }
}

template <typename PerRow>
void walkReview(store::Database& db, const ReviewFilter& filter, PerRow&& perRow) {
    walkReviewInBlocks(
        db, filter, [](const std::vector<UpdateRow>&) {}, perRow);
}

}  // namespace cl::review
