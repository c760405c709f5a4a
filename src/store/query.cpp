#include "store/query.h"

#include <algorithm>

#include "store/error.h"

namespace cl::store {

// ---- StatementPool ----

Statement* StatementPool::lend(const std::string& sql) {
    auto it = bySql_.find(sql);
    if (it == bySql_.end()) return nullptr;
    for (auto& st : it->second) {
        if (!st->checkedOut_) {
            st->checkedOut_ = true;
            return st.get();
        }
    }
    return nullptr;
}

Statement* StatementPool::lend(std::unique_ptr<Statement> fresh) {
    fresh->checkedOut_ = true;
    auto& list = bySql_[fresh->sql()];
    list.push_back(std::move(fresh));
    return list.back().get();
}

void StatementPool::giveBack(Statement* st) noexcept {
    auto retired = std::find_if(retired_.begin(), retired_.end(),
                                [st](const auto& r) { return r.get() == st; });
    if (retired != retired_.end()) {
        retired_.erase(retired);
        return;
    }
    st->rewind();
    st->clearBindings();
    st->checkedOut_ = false;
}

void StatementPool::rewindAll() noexcept {
    for (auto& [sql, list] : bySql_)
        for (auto& st : list) st->rewind();
    for (auto& st : retired_) st->rewind();
}

void StatementPool::clear() {
    for (auto& [sql, list] : bySql_)
        for (auto& st : list)
            if (st->checkedOut_) retired_.push_back(std::move(st));
    bySql_.clear();
}

// ---- Query ----

Query::Query(Query&& other) noexcept : st_(other.st_), pool_(std::move(other.pool_)) {
    other.st_ = nullptr;
}

Query& Query::operator=(Query&& other) noexcept {
    if (this != &other) {
        release();
        st_ = other.st_;
        pool_ = std::move(other.pool_);
        other.st_ = nullptr;
    }
    return *this;
}

void Query::release() noexcept {
    if (st_ && pool_) pool_->giveBack(st_);
    st_ = nullptr;
    pool_.reset();
}

Query& Query::reset() {
    st_->rewind();
    st_->clearBindings();
    return *this;
}

Query& Query::bindAll(const std::vector<Value>& values, int first) {
    for (const auto& v : values) bind(first++, v);
    return *this;
}

void Query::run() {
    while (step()) {
    }
}

Value Query::value(const std::string& name) const {
    int i = columnIndex(name);
    if (i < 0) throw Error("Campo \"" + name + "\" mancante nella tabella.");
    return value(i);
}

}  // namespace cl::store
