#pragma once
#include <string>
#include <vector>

#include "serverdata/layout.h"
#include "serverdata/table_copy.h"

namespace cl::serverdata {

struct CopiedTable {
    std::string schema, table;
    long long rows = 0;
    std::vector<std::string> leftOut;  // source columns the target has no place for
};

// Copies every table of `part` that `from` holds into `to`, inside the caller's transaction on
// `to`. The journal's copy tables are made on `to` as the source has them. Each table's row
// count is checked against the source's afterwards: a difference is a cl::Error naming the
// table, for the caller to roll back.
std::vector<CopiedTable> copyPart(const Part& part, const TableAt& from, const TableAt& to,
                                  const CopyProgress& progress = {});

// The first table of `part` at `where` that holds rows ("main.listi01"), or empty.
std::string firstTableWithRows(const Part& part, const TableAt& where);

}  // namespace cl::serverdata
