#include "serverdata/server_connection.h"

namespace cl::serverdata {

std::unique_ptr<store::Database> connectServer(const std::string& connection,
                                               store::OpenMode mode) {
    return store::openServer(connection, store::kServerStoreSchema, mode);
}

}  // namespace cl::serverdata
