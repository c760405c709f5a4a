#pragma once
#include <QApplication>

namespace cl::test {

// The one application object of this test program, whichever test needs it first. Two would
// crash the program at exit, and the whole program runs at once on the server engine.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "tests_check_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* a = QApplication::instance()
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
    return *a;
}

}  // namespace cl::test
