#include "check/run_context.h"

#include "app/numbers.h"

namespace cl::check {

RunContext::RunContext(store::Database& db_, AppState& app_, const CheckScreenState& screen_,
                       Messages& messages_, Progress& progress_)
    : db(db_),
      app(app_),
      screen(screen_),
      messages(messages_),
      progress(progress_),
      lookups(db_),
      workRows(db_),
      limit(screen_.perif),
      defaultMarkup(leadingNumber(screen_.ricnw)),
      rounding(app_.fl_arrotonda == "S") {}

}  // namespace cl::check
