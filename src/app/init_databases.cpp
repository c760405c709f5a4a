#include "app/init_databases.h"

#include <filesystem>

#include "store/schema.h"

namespace cl {

namespace {
class SilentMessages : public Messages {
  public:
    void show(const std::string&, Icon, const std::string&) override {}
    Answer ask(const std::string&, const std::string&, Icon, Answer a) override { return a; }
};

bool createIfMissing(Session& s, const std::string& windowsPath, store::DatabaseKind kind,
                     std::vector<std::string>& created) {
    auto file = s.host(windowsPath);
    if (std::filesystem::exists(file)) return false;
    store::createDatabase(file.string(), kind);
    created.push_back(windowsPath);
    return true;
}
}  // namespace

std::vector<std::string> initDatabases(Session& session) {
    std::vector<std::string> created;
    const std::string suiteFolder = std::string(1, session.mapper().currentDrive()) + ":\\ostrel";
    std::filesystem::create_directories(session.host(suiteFolder));
    createIfMissing(session, suiteFolder + "\\client.mdb", store::DatabaseKind::Suite, created);
    createIfMissing(session, suiteFolder + "\\tramel.mdb", store::DatabaseKind::Suite, created);
    SilentMessages quiet;
    session.settoDb(quiet);
    createIfMissing(session, session.state.nomedb, store::DatabaseKind::Store, created);
    createIfMissing(session, session.state.nomedb_fisso, store::DatabaseKind::FixedArticles,
                    created);
    return created;
}

}  // namespace cl
