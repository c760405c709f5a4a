#include "store/row_write.h"

#include "store/identifier.h"

namespace cl::store {

long long writeRow(Database& db, const std::string& qualifiedTable,
                   const std::map<std::string, Value>& values, long long rowid, bool insert) {
    std::string sql;
    if (insert) {
        std::string cols, marks;
        for (const auto& [k, v] : values) {
            cols += (cols.empty() ? "" : ", ") + quoteName(k);
            marks += marks.empty() ? "?" : ", ?";
        }
        sql = values.empty()
                  ? "INSERT INTO " + qualifiedTable + " DEFAULT VALUES"
                  : "INSERT INTO " + qualifiedTable + " (" + cols + ") VALUES (" + marks + ")";
    } else {
        if (values.empty()) return rowid;
        std::string sets;
        for (const auto& [k, v] : values)
            sets += (sets.empty() ? "" : ", ") + quoteName(k) + " = ?";
        sql = "UPDATE " + qualifiedTable + " SET " + sets + " WHERE rowid = ?";
    }
    auto st = db.prepare(sql);
    int i = 0;
    for (const auto& [k, v] : values) st.bind(++i, v);
    if (!insert) st.bind(++i, Value(rowid));
    st.run();
    return insert ? db.lastInsertId() : rowid;
}

}  // namespace cl::store
