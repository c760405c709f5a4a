#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/error.h"
#include "store/file_check.h"
#include "store/query.h"
#include "store/value.h"
#include "store/write_transactions.h"

namespace cl::store {

enum class FieldType;

// A connection to the store, with further databases (the article database, the suite, the
// journal) reachable under their own schema names. The domain sees only this; each engine is a
// driver behind openDatabase().
class Database {
  public:
    static constexpr int kBusyTimeoutMs = 5000;

    virtual ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A statement of this text for one user, compiled once per connection and ready to bind.
    Query prepare(const std::string& sql);
    virtual void exec(const std::string& sql) = 0;

    // Makes a database file reachable as `schema.table`.
    virtual void attach(const std::filesystem::path& file, const std::string& schema,
                        OpenMode mode = OpenMode::ReadWrite) = 0;
    virtual void detach(const std::string& schema) = 0;
    virtual bool isAttached(const std::string& schema) = 0;
    // Whether the database a file of ours names is there to attach under `schema` (a file on
    // disk; a schema on a server).
    virtual bool databaseExists(const std::filesystem::path& file, const std::string& schema) = 0;
    virtual bool tableExists(const std::string& table, const std::string& schema = "main") = 0;
    virtual std::vector<std::string> columns(const std::string& table,
                                             const std::string& schema = "main") = 0;
    // The version number a file of our own carries (0 when never set).
    virtual int userVersion(const std::string& schema = "main") = 0;
    virtual void setUserVersion(int version, const std::string& schema = "main") = 0;

    // The identity of the row inserted last on this connection.
    virtual long long lastInsertId() const = 0;
    // A write and its journal records as one statement, where the engine can chain them.
    // `write` is the INSERT or UPDATE of one row (no RETURNING); `before` copies that row as it
    // was ("" for an insert); `after` and `change` are INSERT ... SELECT heads, given without
    // FROM, that read the row as written. The values are bound in that order. "" where the
    // engine runs the parts one by one.
    struct ChainedWrite {
        std::string before, write, after, change;
    };
    virtual std::string chainedWriteSql(const ChainedWrite& parts) const {
        (void)parts;
        return {};
    }
    // Rows changed by the last statement that wrote.
    virtual int changes() const = 0;
    // The write just run must have changed exactly `rows` rows, else the transaction fails
    // with `failure`. An engine that queues writes checks it when their answers come back, so
    // that a loop of checked writes need not wait for each one.
    virtual void expectChanges(int rows, const std::string& failure);
    // The SQL expression that names a row of any table for as long as the row lives.
    virtual std::string rowIdentity() const = 0;
    // The condition that two texts are equal apart from letter case, compared as the store's
    // case-insensitive columns compare them.
    virtual std::string textEqualsIgnoringCase(const std::string& left,
                                               const std::string& right) const = 0;
    // "<expression> contains the operator's LIKE pattern", letters of any alphabet compared
    // without case; the pattern is one bound parameter, escaped with '\\' (containsPattern).
    virtual std::string foldedLike(const std::string& expression) const = 0;

    // Table layouts of our own, in this engine's words.
    virtual std::string columnType(FieldType type) const = 0;
    // The column that gives every row its rowIdentity(), with a ", " after it ("" when the
    // engine has one of its own).
    virtual std::string rowIdentityColumn() const = 0;
    // The type of a column of the journal that copies a store column: "" where the engine
    // keeps any value as it is given.
    virtual std::string copyColumnType(FieldType type) const = 0;
    // What follows the column list of a table of ours: on a server, the room a page keeps for
    // new versions of its rows where an update rewrites most of a table in one transaction.
    virtual std::string tableOptions(bool rewrittenByUpdates) const {
        (void)rewrittenByUpdates;
        return {};
    }
    // The type a column of an existing table was given, in this engine's words, for a copy of
    // it; "" where the engine keeps any value untyped (or has no such column).
    virtual std::string declaredType(const std::string& table, const std::string& column,
                                     const std::string& schema = "main") {
        (void)table;
        (void)column;
        (void)schema;
        return {};
    }
    // A whole-number key the engine numbers itself (see lastInsertId).
    virtual std::string autoKeyColumn() const = 0;
    virtual std::string createIndexSql(const std::string& schema, const std::string& name,
                                       const std::string& table,
                                       const std::vector<std::string>& fields,
                                       bool unique) const = 0;
    // Makes a server database ready to hold a store installation (refuses one whose letter
    // rules would not compare texts as the files do); nothing to do for files.
    virtual void prepareLayout() {}
    // Rows were written with their own keys: the keys the engine numbers continue past them.
    virtual void keysTaken(const std::string& table, const std::string& schema) {
        (void)table;
        (void)schema;
    }
    // A server rather than files on this PC, and where it is, for titles and messages.
    virtual bool onServer() const { return false; }
    virtual std::string where() const { return file_.string(); }

    virtual bool inTransaction() const = 0;
    const std::filesystem::path& file() const { return file_; }

    // Used by Transaction: a write transaction over every attached database.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

  protected:
    explicit Database(std::filesystem::path file);
    virtual std::unique_ptr<Statement> compile(const std::string& sql) = 0;
    StatementPool& statements() { return *pool_; }

  private:
    std::filesystem::path file_;
    std::shared_ptr<StatementPool> pool_;
};

// Opens a database file with the driver of its engine.
std::unique_ptr<Database> openDatabase(const std::filesystem::path& file,
                                       OpenMode mode = OpenMode::ReadWrite);

// Opens a connection to a store installation on a PostgreSQL server (a libpq connection string
// or URI), where unqualified names are those of `schema` (one of the server schemas below).
std::unique_ptr<Database> openServer(const std::string& conninfo, const std::string& schema,
                                     OpenMode mode = OpenMode::ReadWrite);

// The schemas of one store installation on a server: the four databases of a PC.
inline constexpr const char* kServerStoreSchema = "main";
inline constexpr const char* kServerSuiteSchema = "suite";

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
    WriteTransactionMark open_;  // counted from BEGIN until commit or rollback
};

}  // namespace cl::store
