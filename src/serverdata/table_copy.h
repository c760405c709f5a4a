#pragma once
#include <functional>
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::serverdata {

// Told after each batch of rows of a table: schema, table, rows copied so far.
using CopyProgress =
    std::function<void(const std::string& schema, const std::string& table, long long rows)>;

struct TableCopy {
    long long rows = 0;
    // Columns of the source the target table has no place for (left out of the copy).
    std::vector<std::string> leftOut;
};

// Where a table is: a connection and the schema that holds it there.
struct TableAt {
    store::Database& db;
    std::string schema;
};

// Copies every row of `table` from one place into the same table at another, column by column
// (matched by name, ignoring case), inside the caller's transaction on `to`. With
// `keepIdentity` each row keeps its row identity, so that whatever refers to rows by it
// (the journal, the review's rows) still finds them. Rows go in batches of many rows per
// statement: on a server one round trip carries hundreds of rows.
TableCopy copyTable(const TableAt& from, const TableAt& to, const std::string& table,
                    bool keepIdentity, const CopyProgress& progress = {});

// The number of rows of `schema.table`.
long long countRows(store::Database& db, const std::string& schema, const std::string& table);

// Rows per INSERT for a table of `columns` bound values a row: as many as the engines' limits
// on bound values allow, at most a few hundred.
int rowsPerBatch(int columns);

}  // namespace cl::serverdata
