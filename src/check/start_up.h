#pragma once
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "check/check_state.h"

namespace cl::check {

struct Supplier {
    long long code = 0;
    std::string name;
};

// Setto_DB. When a database is missing, after its "non esiste" message the operator may create
// empty databases (as the init command does); otherwise the program stops: false.
bool locateDatabases(Session& session, Messages& messages);

// The rest of the start-up: the parameter row (when it exists) presets the update boxes and the
// supplier, then the fixed presets. Returns the supplier list ordered by name.
std::vector<Supplier> formLoad(Session& session, CheckScreenState& screen);

// Told with the "non esiste" of a suite database that is not there: a store not set up yet.
inline constexpr const char* kStoreNotSetUp =
    "I database del negozio non ci sono ancora: il programma può crearli adesso vuoti, "
    "oppure si può creare un negozio di prova con \"controllo-listino demo\".";
inline constexpr const char* kCreateDatabases =
    "Creare adesso dei database vuoti per poter lavorare ?\n"
    "(Con \"No\" il programma termina senza modificare nulla.)";

}  // namespace cl::check
