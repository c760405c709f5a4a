#include "support/store_compare.h"

#include "store/database.h"
#include "store/identifier.h"

namespace cl::test {

namespace {

using Rows = std::vector<std::vector<store::Value>>;

std::string shown(const store::Value& v) {
    if (v.isNull()) return "NULL";
    if (v.isText()) return "'" + v.text() + "'";
    return v.text() + (std::holds_alternative<double>(v.v) ? " (reale)" : "");
}

Rows rowsOf(store::Database& db, const std::string& table, const std::vector<std::string>& cols) {
    std::string select = "rowid";
    for (const auto& c : cols) select += ", " + store::quoteName(c);
    auto st =
        db.prepare("SELECT " + select + " FROM " + store::quoteName(table) + " ORDER BY rowid");
    Rows rows;
    while (st.step()) {
        std::vector<store::Value> row;
        for (int i = 0; i < st.columnCount(); ++i) row.push_back(st.value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string tableDifference(store::Database& a, store::Database& b, const std::string& table) {
    bool inA = a.tableExists(table), inB = b.tableExists(table);
    if (inA != inB) return inA ? "manca" : "in più";
    if (!inA) return {};
    auto cols = a.columns(table);
    if (cols != b.columns(table)) return "colonne diverse";
    Rows ra = rowsOf(a, table, cols), rb = rowsOf(b, table, cols);
    if (ra.size() != rb.size())
        return std::to_string(rb.size()) + " righe invece di " + std::to_string(ra.size());
    for (size_t r = 0; r < ra.size(); ++r)
        for (size_t c = 0; c < ra[r].size(); ++c)
            if (!(ra[r][c] == rb[r][c]))
                return "riga " + std::to_string(r + 1) + ", " +
                       (c == 0 ? std::string("identità") : cols[c - 1]) + ": " + shown(rb[r][c]) +
                       " invece di " + shown(ra[r][c]);
    return {};
}

}  // namespace

std::vector<std::string> storeDifferences(const serverdata::StoreFiles& expected,
                                          const serverdata::StoreFiles& actual) {
    std::vector<std::string> out;
    for (const auto& part : serverdata::parts()) {
        const auto &fa = expected.of(part), &fb = actual.of(part);
        bool hasA = std::filesystem::exists(fa), hasB = std::filesystem::exists(fb);
        if (hasA != hasB) {
            out.push_back(part.label +
                          (hasA ? ": manca " + fb.string() : ": in più " + fb.string()));
            continue;
        }
        if (!hasA) continue;
        auto a = store::openDatabase(fa, store::OpenMode::ReadOnly);
        auto b = store::openDatabase(fb, store::OpenMode::ReadOnly);
        if (a->userVersion() != b->userVersion())
            out.push_back(part.label + ": versione " + std::to_string(b->userVersion()) +
                          " invece di " + std::to_string(a->userVersion()));
        for (const auto& table : serverdata::tablesOf(part))
            if (auto d = tableDifference(*a, *b, table); !d.empty())
                out.push_back(part.label + ", tabella " + table + ": " + d);
    }
    return out;
}

}  // namespace cl::test
