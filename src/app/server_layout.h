#pragma once

namespace cl::store {
class Database;
}

namespace cl {

// Creates, in the server database `db` is connected to, the four schemas of a store
// installation (store, fixed-path articles, suite, journal) with every table and index, empty.
// Refuses, touching nothing, when any of them is already there. One transaction.
void createServerLayout(store::Database& db);

// Whether the server database already holds a store installation (any of its schemas).
bool serverLayoutExists(store::Database& db);

}  // namespace cl
