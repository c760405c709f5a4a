#include "app/server_layout.h"

#include "app/session.h"
#include "history/journal.h"
#include "history/journal_schema.h"
#include "store/database.h"
#include "store/error.h"
#include "store/identifier.h"
#include "store/schema.h"

namespace cl {

namespace {
struct LayoutSchema {
    const char* name;
    bool journal;
    store::DatabaseKind kind;
};

const LayoutSchema kSchemas[] = {
    {store::kServerStoreSchema, false, store::DatabaseKind::Store},
    {kFixedSchema, false, store::DatabaseKind::FixedArticles},
    {store::kServerSuiteSchema, false, store::DatabaseKind::Suite},
    {history::kHistorySchema, true, store::DatabaseKind::Store},
};
}  // namespace

bool serverLayoutExists(store::Database& db) {
    for (const auto& s : kSchemas)
        if (db.databaseExists({}, s.name)) return true;
    return false;
}

void createServerLayout(store::Database& db) {
    db.prepareLayout();
    store::Transaction tx(db);
    if (serverLayoutExists(db))
        throw Error("Attenzione ... Sul server " + db.where() +
                        " c'è già un negozio: nessuna modifica è stata fatta.",
                    ErrorKind::InvalidInput);
    for (const auto& s : kSchemas) {
        db.exec("CREATE SCHEMA " + store::quoteName(s.name));
        if (s.journal) {
            history::upgradeJournal(db, s.name);
        } else {
            store::createTables(db, s.kind, s.name);
            db.setUserVersion(store::kSchemaVersion, s.name);
        }
    }
    tx.commit();
}

}  // namespace cl
