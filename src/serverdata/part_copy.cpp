#include "serverdata/part_copy.h"

#include "history/journal.h"
#include "history/journal_schema.h"
#include "store/error.h"

namespace cl::serverdata {

namespace {

// The journal's copy tables of a store table, with the store columns the source's copies keep.
void makeJournalCopy(const TableAt& from, const TableAt& to, const std::string& copyTable) {
    const std::string storeTable = copyTable.substr(copyTable.find('_') + 1);
    const int version = history::journalVersion(from.db, from.schema);
    std::vector<std::string> columns;
    for (const auto& copy : from.db.columns(copyTable, from.schema)) {
        if (history::sameName(copy, "change")) continue;
        const std::string prefix = history::copyColumn("", version);
        columns.push_back(copy.substr(copy.rfind(prefix, 0) == 0 ? prefix.size() : 0));
    }
    history::ensureCopyTables(to.db, to.schema, storeTable, columns);
}

}  // namespace

std::vector<CopiedTable> copyPart(const Part& part, const TableAt& from, const TableAt& to,
                                  const CopyProgress& progress) {
    std::vector<CopiedTable> out;
    for (const auto& table : tablesOf(part)) {
        if (!from.db.tableExists(table, from.schema)) continue;
        if (!part.kind && isJournalCopy(table)) makeJournalCopy(from, to, table);
        if (!to.db.tableExists(table, to.schema))
            throw Error("Attenzione ... Manca la tabella " + to.schema + "." + table +
                            " dove copiare il " + part.label + ".",
                        ErrorKind::NotFound);
        TableCopy copied;
        try {
            copied = copyTable(from, to, table, part.kind.has_value(), progress);
            // Rows copied with their own numbers: new rows are numbered past them; writes a
            // server has queued are settled here, so that a refusal names its table.
            to.db.keysTaken(table, to.schema);
        } catch (const std::exception& e) {
            // A value the target refuses: say in which table, the engine's words after.
            throw Error("Attenzione ... La copia della tabella " + to.schema + "." + table +
                            " non è riuscita: " + e.what() + " Nulla è stato scritto.",
                        errorKindOf(e));
        }
        const long long source = countRows(from.db, from.schema, table);
        const long long target = countRows(to.db, to.schema, table);
        if (source != target || copied.rows != source)
            throw Error("Attenzione ... La copia della tabella " + to.schema + "." + table +
                        " non è riuscita: " + std::to_string(target) + " righe invece di " +
                        std::to_string(source) + ". Nulla è stato scritto.");
        out.push_back({to.schema, table, copied.rows, copied.leftOut});
    }
    return out;
}

std::string firstTableWithRows(const Part& part, const TableAt& where) {
    for (const auto& table : tablesOf(part))
        if (where.db.tableExists(table, where.schema) &&
            countRows(where.db, where.schema, table) > 0)
            return where.schema + "." + table;
    return {};
}

}  // namespace cl::serverdata
