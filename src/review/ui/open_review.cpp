#include "review/open_review.h"

#include <QApplication>

#include "review/ui/review_screen.h"
#include "store/error.h"
#include "ui/qt_messages.h"
#include "ui/screens.h"

namespace cl::ui {

bool openReviewScreen(Session& session) {
    std::unique_ptr<store::Database> db;
    ReviewScreen* screen = nullptr;
    try {
        db = review::openReviewStore(session);
        screen = new ReviewScreen(session, std::move(db));
    } catch (const std::exception& e) {
        QtMessages().show(e.what(), Icon::Critical, {});
        return false;
    }
    screen->onUpdatePriceList = reviewHooks().onUpdatePriceList;
    screen->onPrint = reviewHooks().onPrint;
    screen->onReopen = [&session] { openReviewScreen(session); };
    screen->show();
    return true;
}

}  // namespace cl::ui
