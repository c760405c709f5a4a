#include "serverdata/server_import.h"

#include <unistd.h>

#include <random>

#include "history/journal_schema.h"
#include "store/error.h"
#include "store/schema.h"

namespace cl::serverdata {

namespace {

// A journal brought up to the current layout in a temporary file, removed at the end.
class UpgradedJournal {
  public:
    explicit UpgradedJournal(const std::filesystem::path& original) {
        std::random_device random;
        file_ = std::filesystem::temp_directory_path() /
                ("controllo-listino-registro-" + std::to_string(::getpid()) + "-" +
                 std::to_string(random()) + ".history");
        std::filesystem::copy_file(original, file_);
        auto db = store::openDatabase(file_);
        store::Transaction tx(*db);
        history::upgradeJournal(*db, "main");
        tx.commit();
    }
    ~UpgradedJournal() {
        std::error_code ec;
        std::filesystem::remove(file_, ec);
    }
    UpgradedJournal(const UpgradedJournal&) = delete;
    UpgradedJournal& operator=(const UpgradedJournal&) = delete;
    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
};

void requireFile(const std::filesystem::path& file, const Part& part) {
    if (!std::filesystem::is_regular_file(file))
        throw Error("Attenzione ... Manca il " + part.label + " " + file.string() +
                        ": nulla è stato importato.",
                    ErrorKind::NotFound);
}

// The files opened on one connection, each under the schema it takes on the server.
std::unique_ptr<store::Database> openSources(const StoreFiles& files,
                                             std::unique_ptr<UpgradedJournal>& upgraded) {
    for (const auto& part : parts())
        if (part.kind) requireFile(files.of(part), part);
    auto source = store::openDatabase(files.store, store::OpenMode::ReadOnly);
    for (const auto& part : parts()) {
        const auto& file = files.of(part);
        if (!part.kind) {
            if (!std::filesystem::exists(file)) continue;
            source->attach(file, part.schema, store::OpenMode::ReadOnly);
            if (history::journalVersion(*source, part.schema) == history::kJournalVersion) continue;
            source->detach(part.schema);
            upgraded = std::make_unique<UpgradedJournal>(file);
            source->attach(upgraded->file(), part.schema, store::OpenMode::ReadOnly);
            continue;
        }
        if (part.schema != "main") source->attach(file, part.schema, store::OpenMode::ReadOnly);
        store::validateSchema(*source, *part.kind, part.schema, file.string());
    }
    return source;
}

// The server must hold our tables, all empty.
void requireEmptyServer(store::Database& server) {
    for (const auto& part : parts()) {
        for (const auto& table : tablesOf(part)) {
            if (!(!part.kind && isJournalCopy(table)) && !server.tableExists(table, part.schema))
                throw Error("Attenzione ... Sul server manca la tabella " + part.schema + "." +
                                table +
                                ": eseguire prima \"controllo-listino server init\". Nulla è "
                                "stato importato.",
                            ErrorKind::NotFound);
        }
        if (auto full = firstTableWithRows(part, {server, part.schema}); !full.empty())
            throw Error("Attenzione ... Sul server la tabella " + full +
                            " contiene già dei dati: nulla è stato importato.",
                        ErrorKind::InvalidInput);
    }
}

}  // namespace

MoveReport importStore(store::Database& server, const StoreFiles& files,
                       const CopyProgress& progress) {
    std::unique_ptr<UpgradedJournal> upgraded;
    auto source = openSources(files, upgraded);
    requireEmptyServer(server);
    MoveReport report;
    report.files = files;
    store::Transaction tx(server);
    for (const auto& part : parts()) {
        if (!source->isAttached(part.schema) && part.schema != "main") continue;
        auto copied = copyPart(part, {*source, part.schema}, {server, part.schema}, progress);
        report.tables.insert(report.tables.end(), copied.begin(), copied.end());
        server.setUserVersion(source->userVersion(part.schema), part.schema);
        report.journal = report.journal || !part.kind;
    }
    // The planner's figures for the tables just filled: without them the first checks and
    // updates would be planned for empty tables until the server gathers its own.
    server.exec("ANALYZE");
    tx.commit();
    // Once committed, the rows' commit marks are set and kept in one pass, not by the first
    // check that reads each page. Only speed hangs on it: the server's own vacuum does it later.
    try {
        server.exec("VACUUM");
    } catch (const Error&) {
    }
    return report;
}

}  // namespace cl::serverdata
