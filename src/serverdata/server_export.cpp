#include "serverdata/server_export.h"

#include "history/journal_schema.h"
#include "store/error.h"
#include "store/schema.h"

namespace cl::serverdata {

namespace {

std::filesystem::path buildingName(const std::filesystem::path& target) {
    auto temp = target;
    temp += ".tmp-export";
    return temp;
}

// Files under construction; whatever is not handed over is removed, so a failure leaves none.
class Building {
  public:
    ~Building() {
        std::error_code ec;
        for (const auto& file : made_) std::filesystem::remove(file, ec);
    }
    void add(const std::filesystem::path& file) { made_.push_back(file); }
    void handedOver() { made_.clear(); }

  private:
    std::vector<std::filesystem::path> made_;
};

bool journalHoldsRows(store::Database& server) {
    for (const auto& part : parts())
        if (!part.kind) return !firstTableWithRows(part, {server, part.schema}).empty();
    return false;
}

std::vector<CopiedTable> writeFile(store::Database& server, const Part& part,
                                   const std::filesystem::path& file,
                                   const CopyProgress& progress) {
    std::filesystem::create_directories(file.parent_path());
    auto owned = store::openDatabase(file, store::OpenMode::Create);
    store::Database& db = *owned;
    store::Transaction tx(db);
    if (part.kind)
        store::createTables(db, *part.kind, "main");
    else
        history::upgradeJournal(db, "main");
    auto copied = copyPart(part, {server, part.schema}, {db, "main"}, progress);
    db.setUserVersion(server.userVersion(part.schema), "main");
    tx.commit();
    return copied;
}

}  // namespace

MoveReport exportStore(store::Database& server, const std::filesystem::path& root, char drive,
                       const CopyProgress& progress) {
    // Read under the writers' lock: the four schemas as one moment left them.
    store::Transaction reading(server);
    MoveReport report;
    report.files = filesFor(root, drive, server, "suite");
    report.journal = journalHoldsRows(server);
    std::vector<const Part*> written;
    for (const auto& part : parts())
        if (part.kind || report.journal) written.push_back(&part);
    for (const Part* part : written)
        if (std::filesystem::exists(report.files.of(*part)))
            throw Error("Attenzione ... Il file " + report.files.of(*part).string() +
                            " esiste già: non viene sovrascritto. Nulla è stato esportato.",
                        ErrorKind::InvalidInput);

    Building building;
    for (const Part* part : written) {
        auto temp = buildingName(report.files.of(*part));
        std::filesystem::remove(temp);
        building.add(temp);
        auto copied = writeFile(server, *part, temp, progress);
        report.tables.insert(report.tables.end(), copied.begin(), copied.end());
    }
    for (const Part* part : written) {
        const auto& target = report.files.of(*part);
        std::filesystem::rename(buildingName(target), target);
        building.add(target);  // put in place by us: removed again if a later one fails
    }
    building.handedOver();
    return report;
}

}  // namespace cl::serverdata
