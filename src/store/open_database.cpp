#include "store/database.h"
#include "store/pg_database.h"
#include "store/sqlite_database.h"

namespace cl::store {

// Every connection of the program is made here, so that another engine is one more driver.
std::unique_ptr<Database> openDatabase(const std::filesystem::path& file, OpenMode mode) {
    return std::make_unique<SqliteDatabase>(file, mode);
}

std::unique_ptr<Database> openServer(const std::string& conninfo, const std::string& schema,
                                     OpenMode mode) {
    return std::make_unique<PgDatabase>(conninfo, schema, mode);
}

}  // namespace cl::store
