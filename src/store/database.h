#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/error.h"
#include "store/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace cl::store {

// One prepared statement; owned by its Database's cache and rebound for every use.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& reset();                              // ready to bind again; bindings cleared
    Statement& bind(int index, const Value& value);  // 1-based
    template <typename... Args>
    Statement& bindAll(const Args&... args) {
        int i = 0;
        (bind(++i, Value(args)), ...);
        return *this;
    }
    bool step();  // true while a row is current
    void run();   // step to the end (for statements that return no rows)

    int columnCount() const;
    const std::string& columnName(int i) const;
    int columnIndex(const std::string& name) const;  // case-insensitive; -1 when absent
    Value value(int i) const;
    Value value(const std::string& name) const;  // unknown name is an error
    std::string text(const std::string& name) const { return value(name).text(); }
    double number(const std::string& name) const { return value(name).number(); }
    long long integer(const std::string& name) const { return value(name).integer(); }
    bool isNull(const std::string& name) const { return value(name).isNull(); }
    const std::string& sql() const { return sql_; }
    sqlite3_stmt* handle() { return stmt_; }

  private:
    void loadColumns() const;
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
    mutable std::vector<std::string> names_;
    mutable std::unordered_map<std::string, int> index_;
};

enum class OpenMode { ReadWrite, ReadOnly, Create };

// A connection to one SQLite file, with further files attached under their own schema names.
// Rollback-journal mode so that a commit over attached files is atomic.
class Database {
  public:
    static constexpr int kBusyTimeoutMs = 5000;

    explicit Database(const std::filesystem::path& file, OpenMode mode = OpenMode::ReadWrite);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void attach(const std::filesystem::path& file, const std::string& schema,
                OpenMode mode = OpenMode::ReadWrite);
    void detach(const std::string& schema);
    bool isAttached(const std::string& schema);
    // A cached statement, reset and ready to bind. Do not nest two uses of the same text.
    Statement& prepare(const std::string& sql);
    void exec(const std::string& sql);
    bool tableExists(const std::string& table, const std::string& schema = "main");
    std::vector<std::string> columns(const std::string& table, const std::string& schema = "main");
    // The version number a file of our own carries (0 when never set).
    int userVersion(const std::string& schema = "main");
    void setUserVersion(int version, const std::string& schema = "main");
    // Lets every cached statement go of its rows (and of its read lock).
    void resetAll();
    long long lastInsertRowid() const;
    // The name under which a row of any table is identified: selected, compared, and given on
    // insert to put a removed row back in its place.
    std::string rowIdentity() const { return "rowid"; }
    int changes() const;
    bool inTransaction() const;
    const std::filesystem::path& file() const { return file_; }
    sqlite3* handle() { return db_; }

    // Raises the Italian message for an engine result code.
    [[noreturn]] void fail(int rc, const std::string& context) const;

  private:
    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
};

// Commit is explicit; leaving the scope without it rolls back.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Database& db_;
    bool done_ = false;
};

// The URI that opens a file read-only, whatever bytes its (absolute) path holds.
std::string readOnlyUri(const std::filesystem::path& absolute);

// Checks made before a file is opened, so that a bad file is refused with nothing written.
// Special: a FIFO, socket or device, which would make a reader wait or read endlessly.
enum class FileKind { Missing, Directory, Special, Empty, SQLite, Access, Other };
FileKind fileKind(const std::filesystem::path& file);
// Throws cl::Error with the message for a file that cannot be used (missing, Access, not a
// database, read-only when writing).
void checkUsable(const std::filesystem::path& file, OpenMode mode);

}  // namespace cl::store
