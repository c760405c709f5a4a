#include "ui/gui_main.h"

#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include "app/italian_errors.h"
#include "check/start_up.h"
#include "check/ui/check_screen.h"
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

}  // namespace

std::optional<int> startScreens(Session& session, QtMessages& messages) {
    check::ui::CheckScreen* screen = nullptr;
    PlaceInTitles::install(session);
    // Whatever stops the start-up (a damaged suite, a missing table, a declined conversion, the
    // file system) is told as the command line tells it, and the program ends with status 1.
    try {
        if (!check::locateDatabases(session, messages)) return 1;
        screen = openCheckScreen(session, messages);
    } catch (const std::exception& e) {
        messages.show(italianMessage(e), Icon::Critical, {});
        return 1;
    }
    // Start-up ends as "Controllo dati" does: without a supplier the operator is told before
    // the screen shows; with one the run starts as soon as the window is painted.
    if (session.state.codice_fornitore == 0) {
        screen->command1();
        screen->show();
    } else {
        screen->show();
        QTimer::singleShot(0, screen, [screen] { screen->command1(); });
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
