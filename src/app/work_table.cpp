#include "app/work_table.h"

#include <cstring>

#include "store/identifier.h"

namespace cl {

namespace {

constexpr std::uint64_t kOffset = 14695981039346656037ull;
constexpr std::uint64_t kPrime = 1099511628211ull;

void mix(std::uint64_t& h, const void* data, size_t size) {
    auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * kPrime;
}

// A value's type takes part: the text "1" and the number 1 are different rows.
void mixValue(std::uint64_t& h, const store::Value& v) {
    const unsigned char type = static_cast<unsigned char>(v.v.index());
    mix(h, &type, 1);
    if (auto* i = std::get_if<std::int64_t>(&v.v)) {
        mix(h, i, sizeof *i);
    } else if (auto* d = std::get_if<double>(&v.v)) {
        mix(h, d, sizeof *d);
    } else if (auto* s = std::get_if<std::string>(&v.v)) {
        const std::uint64_t n = s->size();
        mix(h, &n, sizeof n);
        mix(h, s->data(), s->size());
    }
}

}  // namespace

WorkTableMark workTableMark(store::Database& db, const std::string& where,
                            const std::vector<store::Value>& params) {
    WorkTableMark mark;
    // The stored fields only: a server's row identity changes when the same row is written
    // again and is no part of what the operator saw.
    std::string fields;
    for (const auto& c : db.columns("variatil"))
        fields += (fields.empty() ? "" : ", ") + store::quoteName(c);
    auto st = db.prepare("SELECT " + fields + " FROM main.variatil" + where);
    for (size_t i = 0; i < params.size(); ++i) st.bind(static_cast<int>(i) + 1, params[i]);
    while (st.step()) {
        std::uint64_t h = kOffset;
        for (int c = 0; c < st.columnCount(); ++c) mixValue(h, st.value(c));
        // Summed, so that the order the engine returns the rows in does not matter.
        mark.digest += h;
        ++mark.rows;
    }
    return mark;
}

}  // namespace cl
