#include "review/review_rows.h"

#include <unordered_set>

#include "store/error.h"

namespace cl::review {

namespace {
// Rows read and kept at most; beyond, the cache starts afresh (the grid shows a few dozen).
constexpr size_t kCacheLimit = 4096;
// Rows read by one statement: a screenful costs one round trip to a server, not one per row.
constexpr size_t kBlock = 32;

// The grid's columns after the row identity, for rows chosen by identity.
std::string blockSql(const store::Database& db) {
    const std::string& columns = reviewColumns();  // "SELECT <list> FROM variatil "
    std::string marks;
    for (size_t i = 0; i < kBlock; ++i) marks += i ? ", ?" : "?";
    return "SELECT " + db.rowIdentity() + ", " + columns.substr(std::string("SELECT ").size()) +
           "WHERE " + db.rowIdentity() + " IN (" + marks + ")";
}
}  // namespace

void ReviewRows::load(store::Database& db, const ReviewFilter& filter) {
    db_ = &db;
    identities_.clear();
    written_.clear();
    cache_.clear();
    SqlText where = whereClause(db, filter);
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
    if (cache_.size() + kBlock > kCacheLimit) cache_.clear();
    readBlock(i);
    return cache_.at(i);
}

// Row i and the rows after it not read yet, up to a block; a row gone meanwhile reads empty.
void ReviewRows::readBlock(size_t first) const {
    std::unordered_map<long long, size_t> wanted;
    for (size_t i = first; i < identities_.size() && wanted.size() < kBlock; ++i)
        if (!cache_.count(i)) wanted.emplace(identities_[i], i);
    auto st = db_->prepare(blockSql(*db_));
    int mark = 0;
    for (const auto& w : wanted) st.bind(++mark, store::Value(w.first));
    while (mark < static_cast<int>(kBlock)) st.bind(++mark, store::Value());
    std::unordered_map<size_t, ReviewRow> read;
    while (st.step()) {
        auto at = wanted.find(st.value(0).integer());
        if (at == wanted.end()) continue;
        ReviewRow& r = read[at->second];
        for (int c = 1; c <= kColumnCount && c < st.columnCount(); ++c)
            r.cells[static_cast<size_t>(c)] = st.value(c);
    }
    for (const auto& [identity, i] : wanted) {
        ReviewRow r = std::move(read[i]);
        if (auto w = written_.find(i); w != written_.end()) r.written = w->second;
        cache_.emplace(i, std::move(r));
    }
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
