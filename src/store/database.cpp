#include "store/database.h"

namespace cl::store {

Database::Database(std::filesystem::path file)
    : file_(std::move(file)), pool_(std::make_shared<StatementPool>()) {}

Database::~Database() = default;

void Database::expectChanges(int rows, const std::string& failure) {
    if (changes() != rows) throw Error(failure);
}

Query Database::prepare(const std::string& sql) {
    Statement* st = pool_->lend(sql);
    if (!st) st = pool_->lend(compile(sql));
    return Query(st, pool_);
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : db_(db) {
    db_.begin();
}

Transaction::~Transaction() {
    if (!done_ && db_.inTransaction()) db_.rollback();
}

void Transaction::commit() {
    db_.commit();
    done_ = true;
    open_.release();
}

}  // namespace cl::store
