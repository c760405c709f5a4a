#include "serverdata/layout.h"

#include "history/journal.h"
#include "history/journal_schema.h"
#include "store/identifier.h"

namespace cl::serverdata {

const std::vector<Part>& parts() {
    static const std::vector<Part> all{
        {"main", store::DatabaseKind::Store, store::describe(store::DatabaseKind::Store)},
        {kFixedSchema, store::DatabaseKind::FixedArticles,
         store::describe(store::DatabaseKind::FixedArticles)},
        {"suite", store::DatabaseKind::Suite, store::describe(store::DatabaseKind::Suite)},
        {history::kHistorySchema, std::nullopt, "registro degli aggiornamenti"},
    };
    return all;
}

std::vector<std::string> tablesOf(const Part& part) {
    if (!part.kind) return history::journalTableNames();
    std::vector<std::string> names;
    for (const auto& table : store::schemaOf(*part.kind)) names.push_back(table.name);
    return names;
}

bool isJournalCopy(const std::string& table) {
    return table.rfind("before_", 0) == 0 || table.rfind("after_", 0) == 0;
}

const std::filesystem::path& StoreFiles::of(const Part& part) const {
    if (!part.kind) return journal;
    switch (*part.kind) {
        case store::DatabaseKind::Store:
            return store;
        case store::DatabaseKind::FixedArticles:
            return fixed;
        case store::DatabaseKind::Suite:
            return suite;
    }
    return store;
}

StoreFiles filesOf(const Session& located) {
    StoreFiles files;
    files.store = located.host(located.state.nomedb);
    files.fixed = located.host(located.state.nomedb_fisso);
    files.suite = located.host(located.state.nomedb_suite);
    files.journal = history::historyFileFor(files.store);
    return files;
}

StoreFiles filesFor(const std::filesystem::path& root, char drive, store::Database& suiteDb,
                    const std::string& suiteSchema) {
    // The same walk as the start-up's: the first company by code names the store's folder.
    Session session(root, drive);
    auto& state = session.state;
    state.nomedb_suite = std::string(1, state.lettera_drive) + ":\\ostrel\\tramel.mdb";
    auto first = suiteDb.prepare("SELECT " + store::quoteName("database") + " FROM " + suiteSchema +
                                 "." + store::quoteName("società") + " ORDER BY codute");
    if (first.step()) state.cartella_db = storeFolderFrom(first.value(0).text());
    first.reset();
    if (state.cartella_db.empty())
        state.cartella_db = std::string(1, state.lettera_drive) + ":\\tramel\\";
    state.nomedb = state.cartella_db + "DATI.MDB";
    return filesOf(session);
}

}  // namespace cl::serverdata
