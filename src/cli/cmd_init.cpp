#include <iostream>

#include "app/init_databases.h"
#include "cli/cli.h"

namespace cl::cli {
namespace {

int runInit(Context& ctx, const Args& args) {
    if (!args.positional().empty()) throw UsageError{"argomenti inattesi"};
    auto created = initDatabases(ctx.session);
    for (const auto& p : created)
        std::cout << "Creato " << p << " (" << ctx.session.host(p).string() << ")\n";
    if (created.empty()) std::cout << "Tutti i database esistono già: nulla da creare.\n";
    return kDone;
}

Registration reg{{"init",
                  "",
                  "crea vuoti i database mancanti (suite, modello, negozio, articoli)",
                  {},
                  {},
                  runInit}};

}  // namespace
}  // namespace cl::cli
