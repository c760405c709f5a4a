#pragma once
#include <string>

#include "store/database.h"

namespace cl::test {

// Takes a journal of the current layout back to version 3 (before it recorded who ran each
// run, the check an update followed and what a cleared article was), as an older program left
// it. Inside or outside a transaction.
inline void backToJournalVersion3(store::Database& db, const std::string& schema) {
    const std::string s = schema + ".";
    for (const char* column : {"last_check", "by_user", "by_pc", "undone_by_user", "undone_by_pc"})
        db.exec("ALTER TABLE " + s + "runs DROP COLUMN " + column);
    if (db.tableExists("check_runs", schema))
        for (const char* column :
             {"by_user", "by_pc", "restored_by_user", "restored_by_pc", "central_supplier"})
            db.exec("ALTER TABLE " + s + "check_runs DROP COLUMN " + column);
    if (db.tableExists("check_cleared", schema))
        db.exec("ALTER TABLE " + s + "check_cleared DROP COLUMN desart");
    db.exec("DROP INDEX IF EXISTS " + s + "check_rows_bns");
    db.exec("DROP TABLE IF EXISTS " + s + "check_cleared_ean");
    db.setUserVersion(3, schema);
}

}  // namespace cl::test
