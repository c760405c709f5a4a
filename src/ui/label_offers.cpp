#include "ui/label_offers.h"

#include "app/numbers.h"
#include "history/journal.h"
#include "history/labels.h"
#include "history/ui/history_screens.h"
#include "history/undo.h"

namespace cl::ui {

namespace {

long long labelCount(Session& session, long long run) {
    try {
        return static_cast<long long>(history::labelsToReprint(session, run).labels.size());
    } catch (const std::exception&) {
        return 0;  // no journal, or the run is gone: nothing to offer
    }
}

void offer(Session& session, Messages& messages, long long run, const std::string& question) {
    if (run <= 0) return;
    long long n = labelCount(session, run);
    if (n == 0) return;
    std::string text = question + " (" + counted(n, "articolo", "articoli") + ")?";
    if (messages.ask(text, kLabelsTitle, Icon::Question, Answer::Yes) != Answer::Yes) return;
    // A window of its own: the review screen may close behind it.
    auto* window = new history::ui::LabelsWindow(session, run);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

}  // namespace

std::optional<long long> lastUndoableRun(Session& session) {
    auto storeFile = session.host(session.state.nomedb);
    auto db = session.openStore();
    // No journal yet (a file beside the store, or its schema on a server): nothing to undo.
    if (!db->databaseExists(history::historyFileFor(storeFile), history::kHistorySchema))
        return std::nullopt;
    history::attachHistory(*db, storeFile);
    for (const auto& r : history::listRuns(*db))
        if (!r.undone) return r.id;
    return std::nullopt;
}

void offerLabelsAfterUpdate(Session& session, Messages& messages, long long run) {
    offer(session, messages, run, "Stampare le etichette dei prezzi di vendita variati");
}

void offerLabelsAfterUndo(Session& session, Messages& messages, long long run) {
    offer(session, messages, run,
          "Stampare le etichette con i prezzi di vendita rimessi dall'annullamento");
}

}  // namespace cl::ui
