#include "ui/gui_main.h"

#include <QApplication>
#include <QTimer>

#include "check/start_up.h"
#include "check/ui/check_screen.h"
#include "store/error.h"
#include "ui/qt_messages.h"
#include "ui/review_wiring.h"
#include "ui/screens.h"

namespace cl::ui {

int runGui(Session& session, bool, int argc, char** argv) {
    QApplication app(argc, argv);
    wireReviewScreen();
    QtMessages messages;
    // An Access file met where a database belongs is converted after the operator agrees.
    session.accessMessages = &messages;
    if (!check::locateDatabases(session, messages)) return 0;

    auto* screen = new check::ui::CheckScreen(session, messages);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    messages.setParent(screen);
    check::CheckScreenState state;
    try {
        screen->load(check::formLoad(session, state), state);
    } catch (const Error& e) {
        messages.show(e.what(), Icon::Critical, {});
        delete screen;
        return 1;
    }
    screen->onRunEnded = [&session, screen](const check::RunReport&) {
        openReviewScreen(session);
        screen->close();
    };
    // Start-up ends as "Controllo dati" does: without a supplier the operator is told before
    // the screen shows; with one the run starts as soon as the window is painted.
    if (session.state.codice_fornitore == 0) {
        screen->command1();
        screen->show();
    } else {
        screen->show();
        QTimer::singleShot(0, screen, [screen] { screen->command1(); });
    }
    return app.exec();
}

}  // namespace cl::ui
