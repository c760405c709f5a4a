#include "cli/review_session.h"

#include "app/store_lock.h"
#include "review/open_review.h"

namespace cl::cli {

std::unique_ptr<ReviewSession> openReviewSession(Context& ctx, Messages& messages, bool lookOnly) {
    ctx.locate();
    if (lookOnly) lookIfHeldElsewhere(ctx.session);
    auto s = std::make_unique<ReviewSession>();
    s->db = review::openReviewStore(ctx.session);
    review::presetLastRunSupplier(ctx.session, *s->db);
    s->review =
        std::make_unique<review::ReviewController>(ctx.session, *s->db, messages, s->progress);
    s->review->open();
    return s;
}

void WatchedMessages::show(const std::string& text, Icon icon, const std::string& title) {
    if (icon == Icon::Critical) errorShown_ = true;
    inner_.show(text, icon, title);
}

Answer WatchedMessages::ask(const std::string& text, const std::string& title, Icon icon,
                            Answer defaultAnswer) {
    return inner_.ask(text, title, icon, defaultAnswer);
}

}  // namespace cl::cli
