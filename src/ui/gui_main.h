#pragma once
#include <QApplication>
#include <optional>

#include "app/session.h"
#include "ui/qt_messages.h"

namespace cl::ui {

// Opens the screens: the check screen first, as at every start of the program.
int runGui(Session& session, bool yes, int argc, char** argv);

// The start-up without a command, up to the event loop: the databases located, Form_Load, and
// "Controllo dati" (before the screen shows when no supplier is remembered, else as soon as it
// is painted). Returns the exit status when the program ends here (no databases, or an error
// already shown); nothing when the screens are open.
std::optional<int> startScreens(Session& session, QtMessages& messages);

// Qt's own Italian texts for the standard dialogs (file, print, preview, buttons). False when
// the translations are not installed.
bool loadItalianTranslations(QCoreApplication& app);

}  // namespace cl::ui
