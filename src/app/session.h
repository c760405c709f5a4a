#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/interfaces.h"
#include "store/database.h"
#include "store/windows_path.h"

namespace cl {

class StoreLock;

// Schema name under which the fixed-path article database is attached to the store's connection.
inline constexpr const char* kFixedSchema = "fisso";

// Where the databases live on this system, and the process-wide state of one program run.
class Session {
  public:
    Session(std::filesystem::path root, char drive);

    AppState state;
    // The PostgreSQL server the store lives on (a libpq connection string or URI); empty: the
    // database files under the root.
    std::string server;
    bool onServer() const { return !server.empty(); }

    // Another copy of the program holds the store's files: this one only looks. Every store
    // connection opens read-only, whatever the caller asks.
    bool readOnly = false;
    // This copy's hold on the store's files (none on a server, or while read-only). The screens
    // take it at start; with holdOnWrite, a command takes it when it first opens the store to
    // write, so that it never writes under the screens of another copy.
    mutable std::shared_ptr<StoreLock> storeLock;
    bool holdOnWrite = false;
    // On a server: the connection that names this workstation to the others while it runs.
    std::shared_ptr<store::Database> serverPresence;
    const store::WindowsPathMapper& mapper() const { return mapper_; }
    std::filesystem::path host(const std::string& windowsPath) const {
        return mapper_.map(windowsPath);
    }

    // Setto_DB: fills the location state. False after the "non esiste" message, to which
    // `whatNext` is appended (what the operator can do about a store that is not there yet).
    bool settoDb(Messages& messages, const std::string& whatNext = {});
    bool located() const { return !state.nomedb.empty(); }

    // The store database, checked, with the fixed-path article database attached as "fisso"
    // when asked: one connection, so that one transaction covers both files.
    std::unique_ptr<store::Database> openStore(
        bool attachFixed = false, store::OpenMode mode = store::OpenMode::ReadWrite) const;

    // Where openStore asks before converting an Access file found in place of a database, and
    // shows the conversion (not owned; unset: such a file is refused with how to convert it).
    // A new Access delivery of the fixed-path article database is converted without asking.
    Messages* accessMessages = nullptr;
    Progress* accessProgress = nullptr;

  private:
    // Takes storeLock for this copy; throws cl::Error (Busy) when another copy holds the store.
    void holdForWriting() const;
    // Fills the location state from the suite's first company.
    void locateStore(store::Database& suite);
    store::WindowsPathMapper mapper_;
};

// Splits the `database` field of the first company at "\" and keeps the folder before the
// "DATI.MDB" segment (at most eleven segments); empty when nothing is kept.
std::string storeFolderFrom(const std::string& databaseField);

}  // namespace cl
