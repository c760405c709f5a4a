#include "store/index_columns.h"

namespace cl::store {

std::vector<std::string> indexColumns(Database& db, const std::string& index,
                                      const std::string& schema) {
    auto st = db.prepare("SELECT name FROM pragma_index_info(?, ?) ORDER BY seqno");
    st.bindAll(index, schema);
    std::vector<std::string> out;
    while (st.step()) out.push_back(st.value(0).text());
    return out;
}

}  // namespace cl::store
