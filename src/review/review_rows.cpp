#include "review/review_rows.h"

#include <unordered_set>

#include "store/error.h"

namespace cl::review {

namespace {
// Rows read and kept at most; beyond, the cache starts afresh (the grid shows a few dozen).
constexpr size_t kCacheLimit = 4096;
}  // namespace

void ReviewRows::load(store::Database& db, const ReviewFilter& filter) {
    db_ = &db;
    identities_.clear();
    written_.clear();
    cache_.clear();
    SqlText where = whereClause(filter);
    auto st = db.prepare("SELECT " + db.rowIdentity() + " FROM variatil" + where.text +
                         orderClause(db, filter));
    for (size_t i = 0; i < where.params.size(); ++i)
        st.bind(static_cast<int>(i + 1), where.params[i]);
    while (st.step()) identities_.push_back(st.value(0).integer());
}

void ReviewRows::clear() {
    identities_.clear();
    written_.clear();
    cache_.clear();
}

const ReviewRow& ReviewRows::row(size_t i) const {
    if (auto it = cache_.find(i); it != cache_.end()) return it->second;
    if (!db_ || i >= identities_.size())
        throw Error("Attenzione ... Riga della griglia inesistente.", ErrorKind::NotFound);
    if (cache_.size() >= kCacheLimit) cache_.clear();
    ReviewRow r;
    auto st = db_->prepare(reviewColumns() + "WHERE " + db_->rowIdentity() + " = ?");
    st.bind(1, store::Value(identities_[i]));
    if (st.step()) {
        for (int c = 1; c <= kColumnCount && c - 1 < st.columnCount(); ++c)
            r.cells[static_cast<size_t>(c)] = st.value(c - 1);
    }
    if (auto w = written_.find(i); w != written_.end()) r.written = w->second;
    return cache_.emplace(i, std::move(r)).first->second;
}

std::optional<size_t> ReviewRows::find(long long bns) const {
    if (!db_) return std::nullopt;
    std::unordered_set<long long> keyed;
    auto st = db_->prepare("SELECT " + db_->rowIdentity() + " FROM variatil WHERE bns = ?");
    st.bindAll(bns);
    while (st.step()) keyed.insert(st.value(0).integer());
    if (keyed.empty()) return std::nullopt;
    for (size_t i = 0; i < identities_.size(); ++i)
        if (keyed.count(identities_[i])) return i;
    return std::nullopt;
}

void ReviewRows::writeCell(size_t i, int col, std::string text) {
    written_[i][col] = text;
    if (auto it = cache_.find(i); it != cache_.end()) it->second.written[col] = std::move(text);
}

}  // namespace cl::review
