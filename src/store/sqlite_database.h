#pragma once
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace cl::store {

// One compiled SQLite statement.
class SqliteStatement : public Statement {
  public:
    SqliteStatement(sqlite3* db, const std::string& sql);
    ~SqliteStatement() override;

    void bind(int index, const Value& value) override;
    bool step() override;
    void rewind() override;
    void clearBindings() override;
    int columnCount() const override;
    const std::string& columnName(int i) const override;
    int columnIndex(const std::string& name) const override;
    Value value(int i) const override;

  private:
    void loadColumns() const;
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    mutable std::vector<std::string> names_;
    mutable std::unordered_map<std::string, int> index_;
};

// A connection to one SQLite file, with further files attached under their own schema names.
// Rollback-journal mode so that a commit over attached files is atomic.
class SqliteDatabase : public Database {
  public:
    explicit SqliteDatabase(const std::filesystem::path& file, OpenMode mode = OpenMode::ReadWrite);
    ~SqliteDatabase() override;

    void exec(const std::string& sql) override;
    void attach(const std::filesystem::path& file, const std::string& schema,
                OpenMode mode = OpenMode::ReadWrite) override;
    void detach(const std::string& schema) override;
    bool isAttached(const std::string& schema) override;
    bool databaseExists(const std::filesystem::path& file, const std::string& schema) override;
    bool tableExists(const std::string& table, const std::string& schema = "main") override;
    std::vector<std::string> columns(const std::string& table,
                                     const std::string& schema = "main") override;
    int userVersion(const std::string& schema = "main") override;
    void setUserVersion(int version, const std::string& schema = "main") override;
    long long lastInsertId() const override;
    int changes() const override;
    std::string rowIdentity() const override { return "rowid"; }
    std::string textEqualsIgnoringCase(const std::string& left,
                                       const std::string& right) const override {
        return left + " = " + right + " COLLATE NOCASE";
    }
    std::string foldedLike(const std::string& expression) const override;
    std::string columnType(FieldType type) const override;
    std::string rowIdentityColumn() const override { return {}; }
    std::string copyColumnType(FieldType) const override { return {}; }
    std::string autoKeyColumn() const override { return "INTEGER PRIMARY KEY"; }
    std::string createIndexSql(const std::string& schema, const std::string& name,
                               const std::string& table, const std::vector<std::string>& fields,
                               bool unique) const override;
    bool inTransaction() const override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;

    sqlite3* handle() { return db_; }
    // Raises the message, of its kind, for an engine result code.
    [[noreturn]] void fail(int rc, const std::string& context) const;

  protected:
    std::unique_ptr<Statement> compile(const std::string& sql) override;

  private:
    void close() noexcept;
    sqlite3* db_ = nullptr;
};

// The URI that opens a file read-only, whatever bytes its (absolute) path holds.
std::string readOnlyUri(const std::filesystem::path& absolute);

// The message and kind of an engine result code.
[[noreturn]] void raiseEngineError(int rc, const std::string& detail, bool writing = false);

}  // namespace cl::store
