// Look-ups of many keys in one statement: "col IN (?, ?, ...)" over a fixed number of places.
#pragma once
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::check {

// Keys bound by one statement; unused places are bound null, so that one text serves all.
inline constexpr size_t kKeys = 128;

// The places of the IN list: kKeys parameters.
inline std::string keyMarks() {
    std::string out;
    for (size_t i = 0; i < kKeys; ++i) out += i ? ", ?" : "?";
    return out;
}

// Runs `st` once per group of kKeys values (then `after`, bound behind them), calling `row`
// for each row it gives.
template <typename Key, typename Row>
void forKeyGroups(store::Query& st, const std::vector<Key>& keys, Row&& row,
                  const std::string* after = nullptr) {
    for (size_t from = 0; from < keys.size(); from += kKeys) {
        st.reset();
        for (size_t i = 0; i < kKeys; ++i)
            st.bind(static_cast<int>(i) + 1,
                    from + i < keys.size() ? store::Value(keys[from + i]) : store::Value());
        if (after) st.bind(static_cast<int>(kKeys) + 1, store::Value(*after));
        while (st.step()) row(st);
    }
}

}  // namespace cl::check
