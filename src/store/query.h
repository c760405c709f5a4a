#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/value.h"

namespace cl::store {

// A statement compiled by a driver. The domain never holds one: it holds a Query.
class Statement {
  public:
    explicit Statement(std::string sql) : sql_(std::move(sql)) {}
    virtual ~Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    virtual void bind(int index, const Value& value) = 0;  // 1-based
    virtual bool step() = 0;                               // true while a row is current
    virtual void rewind() = 0;  // before the first row again, bindings kept; lets go of locks
    virtual void clearBindings() = 0;
    virtual int columnCount() const = 0;
    virtual const std::string& columnName(int i) const = 0;
    virtual int columnIndex(const std::string& name) const = 0;  // case-insensitive; -1: absent
    virtual Value value(int i) const = 0;
    const std::string& sql() const { return sql_; }

  private:
    std::string sql_;
    friend class StatementPool;
    bool checkedOut_ = false;
};

// The compiled statements of one connection, kept per SQL text so that a text is compiled once
// per run. A statement is lent to one Query at a time; a second live use of the same text gets
// a statement of its own.
class StatementPool {
  public:
    StatementPool() = default;
    StatementPool(const StatementPool&) = delete;
    StatementPool& operator=(const StatementPool&) = delete;

    // A free statement of this text, or nullptr when every one is lent.
    Statement* lend(const std::string& sql);
    Statement* lend(std::unique_ptr<Statement> fresh);
    void giveBack(Statement* st) noexcept;
    // Every statement, lent or not, back before its first row (before a commit or rollback).
    void rewindAll() noexcept;
    // Forgets every statement (a schema went away); lent ones go when given back.
    void clear();

  private:
    std::unordered_map<std::string, std::vector<std::unique_ptr<Statement>>> bySql_;
    std::vector<std::unique_ptr<Statement>> retired_;
};

// One use of a prepared statement, bound and stepped by its single owner. Leaving the scope
// rewinds it and clears its bindings, so that its rows and read lock are let go at once.
class Query {
  public:
    Query(Statement* st, std::shared_ptr<StatementPool> pool) : st_(st), pool_(std::move(pool)) {}
    ~Query() { release(); }
    Query(Query&& other) noexcept;
    Query& operator=(Query&& other) noexcept;
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& reset();  // ready to bind again; bindings cleared
    Query& bind(int index, const Value& value) {
        st_->bind(index, value);
        return *this;
    }
    // Binds the values in order from parameter `first`.
    Query& bindAll(const std::vector<Value>& values, int first = 1);
    template <typename... Args>
    Query& bindAll(const Args&... args) {
        int i = 0;
        (bind(++i, Value(args)), ...);
        return *this;
    }
    bool step() { return st_->step(); }
    void run();  // step to the end (for statements that return no rows)

    int columnCount() const { return st_->columnCount(); }
    const std::string& columnName(int i) const { return st_->columnName(i); }
    int columnIndex(const std::string& name) const { return st_->columnIndex(name); }
    Value value(int i) const { return st_->value(i); }
    Value value(const std::string& name) const;  // unknown name is an error
    std::string text(const std::string& name) const { return value(name).text(); }
    double number(const std::string& name) const { return value(name).number(); }
    long long integer(const std::string& name) const { return value(name).integer(); }
    bool isNull(const std::string& name) const { return value(name).isNull(); }
    const std::string& sql() const { return st_->sql(); }

  private:
    void release() noexcept;
    Statement* st_ = nullptr;
    std::shared_ptr<StatementPool> pool_;
};

}  // namespace cl::store
