#include "serverdata/part_copy.h"

#include "history/journal_schema.h"
#include "store/error.h"

namespace cl::serverdata {

namespace {

void makeJournalCopy(const TableAt& from, const TableAt& to, const std::string& table) {
    std::vector<std::string> columns;
    for (const auto& column : from.db.columns(table, from.schema))
        if (!history::sameName(column, "change")) columns.push_back(column);
    history::ensureCopyTable(to.db, to.schema, table, columns);
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
