#include "store/database.h"
#include "store/sqlite_database.h"

namespace cl::store {

// Every connection of the program is made here, so that another engine is one more driver.
std::unique_ptr<Database> openDatabase(const std::filesystem::path& file, OpenMode mode) {
    return std::make_unique<SqliteDatabase>(file, mode);
}

}  // namespace cl::store
