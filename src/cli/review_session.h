#pragma once
#include <memory>

#include "cli/cli.h"
#include "review/review_controller.h"
#include "store/database.h"

namespace cl::cli {

// The review screen opened as the program opens it: Setto_DB, the check screen's preset of the
// supplier from the parameter row, then the review's own opening.
struct ReviewSession {
    std::unique_ptr<store::Database> db;
    CliProgress progress;
    std::unique_ptr<review::ReviewController> review;
};

// lookOnly: the caller only reads the grid, so another copy holding the store does not stop
// it; the review is then read as that copy's read-only screens show it.
std::unique_ptr<ReviewSession> openReviewSession(Context& ctx, Messages& messages,
                                                 bool lookOnly = false);

// Forwards to the command line's messages and remembers whether an error was shown.
class WatchedMessages : public Messages {
  public:
    explicit WatchedMessages(Messages& inner) : inner_(inner) {}
    void show(const std::string& text, Icon icon, const std::string& title) override;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Answer defaultAnswer) override;
    bool errorShown() const { return errorShown_; }

  private:
    Messages& inner_;
    bool errorShown_ = false;
};

}  // namespace cl::cli
