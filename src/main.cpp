#include "cli/cli.h"
#include "ui/gui_main.h"

int main(int argc, char** argv) {
    return cl::cli::runCli(argc, argv, [&](cl::Session& session, bool yes) {
        return cl::ui::runGui(session, yes, argc, argv);
    });
}
