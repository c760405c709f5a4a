#include <iostream>

#include "cli/review_session.h"
#include "review/review_commands.h"

namespace cl::cli {
namespace {

// "Elimina Dati": asks, and on Yes deletes the rows the review shows.
int runDeleteRows(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    CliMessages yes(true);
    Messages& messages = args.flag("yes") ? static_cast<Messages&>(yes) : ctx.messages;
    auto s = openReviewSession(ctx, messages);
    long long n = review::countViewRows(*s->db, s->review->state().shown());
    if (!s->review->deleteShownRows()) return kFailed;
    std::cout << n << " righe eliminate.\n";
    return kDone;
}

Registration reg{{"delete-rows",
                  "[--yes]",
                  "Elimina Dati: cancella le righe della revisione del fornitore (chiede conferma)",
                  {},
                  {"yes"},
                  runDeleteRows}};

}  // namespace
}  // namespace cl::cli
