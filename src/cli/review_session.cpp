#include "cli/review_session.h"

#include "app/parameters.h"

namespace cl::cli {

std::unique_ptr<ReviewSession> openReviewSession(Context& ctx, Messages& messages) {
    ctx.locate();
    auto s = std::make_unique<ReviewSession>();
    s->db = ctx.session.openStore();
    AppState& state = ctx.session.state;
    state.chiave_parametri = chiaveParametri(state.nsede);
    if (auto row = leggiParametri(*s->db, state.chiave_parametri))
        state.codice_fornitore = row->cliente;
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
