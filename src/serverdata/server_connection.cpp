#include "serverdata/server_connection.h"

#include "app/server_choice.h"
#include "store/error.h"

namespace cl::serverdata {

std::unique_ptr<store::Database> connectServer(const std::string& connection) {
    // TODO(driver): open the PostgreSQL connection here once the store has its server driver.
    throw Error("Attenzione ... Questa versione del programma non sa ancora collegarsi al server " +
                    serverPlace(connection) + ".",
                ErrorKind::NotFound);
}

}  // namespace cl::serverdata
