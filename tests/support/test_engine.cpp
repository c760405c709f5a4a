#include "support/test_engine.h"

#include <cstdlib>

#include "app/server_layout.h"
#include "support/pg_server.h"

namespace cl::test {

namespace {
std::string current;

PgServer& sharedServer() {
    static PgServer server;
    return server;
}
}  // namespace

bool onServerEngine() {
    const char* engine = std::getenv("CL_TEST_ENGINE");
    return engine && std::string(engine) == "postgres";
}

std::string freshServerStore() {
    static int serial = 0;
    PgServer& server = sharedServer();
    const std::string name = "negozio" + std::to_string(++serial);
    {
        auto admin =
            store::openServer(server.conninfo("postgres"), "public", store::OpenMode::Create);
        admin->exec("CREATE DATABASE " + name);
    }
    std::string conninfo = server.conninfo(name);
    auto db = store::openServer(conninfo, "public", store::OpenMode::Create);
    createServerLayout(*db);
    return conninfo;
}

const std::string& currentServer() {
    return current;
}

void setCurrentServer(const std::string& conninfo) {
    current = conninfo;
    // The command line a test starts works on the same server database.
    setenv("CONTROLLO_LISTINO_SERVER", conninfo.c_str(), 1);
}

}  // namespace cl::test
