#include "ui/gui_main.h"

#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include "app/italian_errors.h"
#include "app/store_lock.h"
#include "check/start_up.h"
#include "check/ui/check_screen.h"
#include "review/ui/review_screen.h"
#include "ui/review_wiring.h"
#include "ui/screens.h"
#include "ui/window_place.h"

namespace cl::ui {

namespace {

check::ui::CheckScreen* openCheckScreen(Session& session, QtMessages& messages) {
    auto* screen = new check::ui::CheckScreen(session, messages);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    try {
        check::CheckScreenState state;
        screen->load(check::formLoad(session, state), state);
    } catch (...) {
        delete screen;
        throw;
    }
    messages.setParent(screen);
    screen->onRunEnded = [&session, screen](const check::RunReport&) {
        openReviewScreen(session);
        screen->close();
    };
    return screen;
}

// "Nuovo controllo" on the review screen: back to the check screen, with no automatic run.
void wireNewCheck(Session& session, QtMessages& messages) {
    auto& commands = reviewHooks().extraCommands;
    // One program run, one session: a command left by an earlier start goes.
    std::erase_if(commands, [](const auto& c) { return c.control == "CommandNuovoControllo"; });
    commands.insert(commands.begin(), {"CommandNuovoControllo", "Nuovo controllo",
                                       "Torna alla schermata di controllo per un nuovo controllo",
                                       [&session, &messages](ReviewScreen& review) {
                                           check::ui::CheckScreen* screen = nullptr;
                                           try {
                                               screen = openCheckScreen(session, messages);
                                           } catch (const std::exception& e) {
                                               messages.show(e.what(), Icon::Critical, {});
                                               return;
                                           }
                                           screen->show();
                                           review.close();
                                       }});
}

}  // namespace

std::optional<int> startScreens(Session& session, QtMessages& messages) {
    check::ui::CheckScreen* screen = nullptr;
    PlaceInTitles::install(session);
    // Whatever stops the start-up (a damaged suite, a missing table, a declined conversion, the
    // file system) is told as the command line tells it, and the program ends with status 1.
    try {
        if (!check::locateDatabases(session, messages)) return 1;
        if (!holdStoreFiles(session, messages)) return 1;
        wireNewCheck(session, messages);
        // Another copy has the store: this one shows the review as it is, and writes nothing.
        if (session.readOnly) {
            if (!openReviewScreen(session)) return 1;
            return std::nullopt;
        }
        screen = openCheckScreen(session, messages);
    } catch (const std::exception& e) {
        messages.show(italianMessage(e), Icon::Critical, {});
        return 1;
    }
    // Start-up ends as "Controllo dati" does: without a supplier the operator is told before
    // the screen shows; with one the run is announced on the screen and starts after a count
    // down, unless the operator starts it at once or cancels it to change the filters first.
    if (session.state.codice_fornitore == 0) {
        screen->command1();
        screen->show();
    } else {
        screen->show();
        screen->announceAutomaticCheck();
    }
    return std::nullopt;
}

bool loadItalianTranslations(QCoreApplication& app) {
    auto* qtbase = new QTranslator(&app);
    if (!qtbase->load("qtbase_it", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtbase;
        return false;
    }
    QCoreApplication::installTranslator(qtbase);
    return true;
}

int runGui(Session& session, bool, int argc, char** argv) {
    QApplication app(argc, argv);
    loadItalianTranslations(app);
    wireReviewScreen();
    QtMessages messages;
    // An Access file met where a database belongs is converted after the operator agrees.
    session.accessMessages = &messages;
    if (auto end = startScreens(session, messages)) return *end;
    return app.exec();
}

}  // namespace cl::ui
