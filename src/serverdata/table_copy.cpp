#include "serverdata/table_copy.h"

#include <algorithm>

#include "history/journal_schema.h"
#include "store/identifier.h"

namespace cl::serverdata {

namespace {

using store::quoteName;

// Source and target names of each column both tables have.
struct ColumnPairs {
    std::vector<std::string> source, target, leftOut;
};

ColumnPairs pairColumns(const TableAt& from, const TableAt& to, const std::string& table) {
    ColumnPairs pairs;
    auto targets = to.db.columns(table, to.schema);
    for (const auto& column : from.db.columns(table, from.schema)) {
        auto match = std::find_if(targets.begin(), targets.end(), [&](const std::string& t) {
            return history::sameName(t, column);
        });
        if (match == targets.end()) {
            pairs.leftOut.push_back(column);
            continue;
        }
        pairs.source.push_back(column);
        pairs.target.push_back(*match);
    }
    return pairs;
}

std::string insertSql(const std::string& target, const std::vector<std::string>& columns,
                      int rows) {
    std::string names, row;
    for (const auto& c : columns) {
        names += (names.empty() ? "" : ", ") + c;
        row += row.empty() ? "?" : ", ?";
    }
    std::string sql = "INSERT INTO " + target + " (" + names + ") VALUES ";
    for (int r = 0; r < rows; ++r) sql += (r ? ", (" : "(") + row + ")";
    return sql;
}

}  // namespace

int rowsPerBatch(int columns) {
    // SQLite takes 32766 bound values a statement, PostgreSQL 65535.
    constexpr int kMaxBound = 30000, kMaxRows = 500;
    return std::clamp(kMaxBound / std::max(columns, 1), 1, kMaxRows);
}

long long countRows(store::Database& db, const std::string& schema, const std::string& table) {
    auto st = db.prepare("SELECT count(*) FROM " + schema + "." + quoteName(table));
    return st.step() ? st.value(0).integer() : 0;
}

TableCopy copyTable(const TableAt& from, const TableAt& to, const std::string& table,
                    bool keepIdentity, const CopyProgress& progress) {
    ColumnPairs pairs = pairColumns(from, to, table);
    std::string select, order;
    std::vector<std::string> targets;
    if (keepIdentity) {
        select = from.db.rowIdentity();
        targets.push_back(to.db.rowIdentity());
        order = " ORDER BY " + from.db.rowIdentity();
    }
    for (size_t i = 0; i < pairs.source.size(); ++i) {
        select += (select.empty() ? "" : ", ") + quoteName(pairs.source[i]);
        targets.push_back(quoteName(pairs.target[i]));
    }
    TableCopy copied;
    copied.leftOut = pairs.leftOut;
    if (targets.empty()) return copied;

    const std::string target = to.schema + "." + quoteName(table);
    const int width = static_cast<int>(targets.size());
    const int batch = rowsPerBatch(width);
    auto read = from.db.prepare("SELECT " + select + " FROM " + from.schema + "." +
                                quoteName(table) + order);
    std::vector<store::Value> pending;
    pending.reserve(static_cast<size_t>(batch * width));
    auto flush = [&] {
        int rows = static_cast<int>(pending.size()) / width;
        if (rows == 0) return;
        to.db.prepare(insertSql(target, targets, rows)).bindAll(pending).run();
        copied.rows += rows;
        pending.clear();
        if (progress) progress(to.schema, table, copied.rows);
    };
    while (read.step()) {
        for (int i = 0; i < width; ++i) pending.push_back(read.value(i));
        if (static_cast<int>(pending.size()) == batch * width) flush();
    }
    flush();
    return copied;
}

}  // namespace cl::serverdata
