#pragma once
#include <cstdio>
#include <string>
#include <variant>

#include "store/database.h"

namespace cl::test {

// A value as text that keeps its kind, so that 12 and 12.0 or '' and NULL differ.
inline std::string typedText(const store::Value& v) {
    if (v.isNull()) return "NULL";
    if (v.isText()) return "'" + v.text() + "'";
    if (const double* d = std::get_if<double>(&v.v)) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", *d);
        std::string s = buf;
        if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
        return s;
    }
    return v.text();
}

// Every row a query gives, each value with its kind, "|" after each value, a line per row.
inline std::string typedRows(store::Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    std::string out;
    while (st.step()) {
        for (int i = 0; i < st.columnCount(); ++i) out += typedText(st.value(i)) + "|";
        out += "\n";
    }
    st.reset();
    return out;
}

// Every row of a table in the order of its identity, each value with its kind.
inline std::string typedTable(store::Database& db, const std::string& table) {
    std::string cols;
    for (const auto& c : db.columns(table)) cols += ", \"" + c + "\"";
    return typedRows(db, "SELECT rowid" + cols + " FROM \"" + table + "\" ORDER BY rowid");
}

}  // namespace cl::test
