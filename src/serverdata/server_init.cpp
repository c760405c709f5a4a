#include "serverdata/server_init.h"

#include "history/journal_schema.h"
#include "serverdata/layout.h"
#include "store/error.h"
#include "store/schema.h"

namespace cl::serverdata {

std::string firstTableOnServer(store::Database& server) {
    for (const auto& part : parts())
        for (const auto& table : tablesOf(part))
            if (server.tableExists(table, part.schema)) return part.schema + "." + table;
    return {};
}

void createTables(store::Database& db, store::DatabaseKind kind, const std::string& schema) {
    for (const auto& table : store::schemaOf(kind)) {
        db.exec(store::createTableSql(table, schema));
        for (const auto& index : store::createIndexSql(table, schema)) db.exec(index);
    }
}

void initServer(store::Database& server) {
    if (auto existing = firstTableOnServer(server); !existing.empty())
        throw Error("Attenzione ... Sul server ci sono già le tabelle del negozio (per esempio " +
                        existing + "): nulla è stato creato.",
                    ErrorKind::InvalidInput);
    store::Transaction tx(server);
    for (const auto& part : parts()) {
        if (part.kind) {
            createTables(server, *part.kind, part.schema);
            server.setUserVersion(store::kSchemaVersion, part.schema);
        } else {
            history::upgradeJournal(server, part.schema);
        }
    }
    tx.commit();
}

}  // namespace cl::serverdata
