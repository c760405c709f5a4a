#pragma once
#include <string>

#include "support/temp_store.h"

namespace cl::test {

// The first value of every row a query on the store gives, joined by `separator`: each as the
// engine returns it (numbers as numbers, null as ""), so that both engines give the same text
// where the file engine's text functions and a server's would not.
inline std::string columnText(TempStore& t, const std::string& sql,
                              const std::string& separator = ",") {
    std::string out;
    auto db = t.openStoreDb();
    auto st = db->prepare(sql);
    for (bool first = true; st.step(); first = false)
        out += (first ? "" : separator) + st.value(0).text();
    return out;
}

}  // namespace cl::test
