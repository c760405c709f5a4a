#include "support/temp_store.h"

#include <unistd.h>

#include <random>

#include "app/init_databases.h"
#include "store/identifier.h"
#include "support/test_engine.h"

namespace cl::test {

namespace {
std::filesystem::path freshDir() {
    static std::mt19937_64 rng{std::random_device{}()};
    auto dir = std::filesystem::temp_directory_path() /
               ("cl-test-" + std::to_string(getpid()) + "-" + std::to_string(rng()));
    std::filesystem::create_directories(dir);
    return dir;
}

std::string dumpQuery(store::Database& db, const std::string& sql) {
    std::string out;
    auto st = db.prepare(sql);
    while (st.step()) {
        for (int i = 0; i < st.columnCount(); ++i) {
            auto v = st.value(i);
            out += v.isNull() ? "<null>" : v.text();
            out += '|';
        }
        out += '\n';
    }
    return out;
}
}  // namespace

TempStore::TempStore() : root(freshDir()), session(root, 'C') {
    initDatabases(session);
    if (onServerEngine()) {
        // The same empty store, on the server: the files stay as the empty starting point.
        session.server = freshServerStore();
        setCurrentServer(session.server);
    }
}

std::unique_ptr<store::Database> TempStore::openStoreDb(bool fixed) {
    if (session.onServer())
        return store::openServer(session.server, fixed ? kFixedSchema : store::kServerStoreSchema);
    return store::openDatabase(fixed ? fixedFile() : storeFile());
}

TempStore::~TempStore() {
    std::error_code ec;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root, ec);
}

void TempStore::exec(const std::string& sql) {
    openStoreDb()->exec(sql);
}
void TempStore::execFixed(const std::string& sql) {
    openStoreDb(true)->exec(sql);
}

std::string TempStore::scalar(const std::string& sql) {
    auto dbConnection = openStoreDb();
    store::Database& db = *dbConnection;
    auto st = db.prepare(sql);
    return st.step() ? st.value(0).text() : std::string();
}

std::string TempStore::scalarFixed(const std::string& sql) {
    auto dbConnection = openStoreDb(true);
    store::Database& db = *dbConnection;
    auto st = db.prepare(sql);
    return st.step() ? st.value(0).text() : std::string();
}

std::string TempStore::dump(const std::string& table, bool fixed) {
    auto dbConnection = openStoreDb(fixed);
    store::Database& db = *dbConnection;
    std::string columns;
    for (const auto& c : db.columns(table, fixed && session.onServer() ? kFixedSchema : "main"))
        columns += (columns.empty() ? "" : ", ") + store::quoteName(c);
    return dumpQuery(db,
                     "SELECT " + columns + " FROM \"" + table + "\" ORDER BY " + db.rowIdentity());
}

}  // namespace cl::test
