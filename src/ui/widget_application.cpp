#include "ui/widget_application.h"

#include <QApplication>
#include <cstdlib>

namespace cl::ui {

void ensureWidgetApplication() {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "controllo-listino";
    static char* argv[] = {name, nullptr};
    // It lives until the process ends: destroying it among the static objects at exit would
    // crash.
    new QApplication(argc, argv);
}

}  // namespace cl::ui
