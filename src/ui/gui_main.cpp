#include "ui/gui_main.h"

#include <iostream>

namespace cl::ui {

int runGui(Session&, bool, int, char**) {
    std::cerr << "Le schermate non sono ancora disponibili: usare i comandi "
                 "(controllo-listino --help).\n";
    return 0;
}

}  // namespace cl::ui
