#pragma once
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/database.h"

struct pg_conn;
struct pg_result;

namespace cl::store {

class PgDatabase;

// One statement on the server. Its rows are fetched whole when it is first stepped, so that
// the connection is free again for the statements the walk runs on each row.
class PgStatement : public Statement {
  public:
    PgStatement(PgDatabase& db, const std::string& sql);
    ~PgStatement() override;

    void bind(int index, const Value& value) override;
    bool step() override;
    void rewind() override;
    void clearBindings() override;
    int columnCount() const override;
    const std::string& columnName(int i) const override;
    int columnIndex(const std::string& name) const override;
    Value value(int i) const override;

  private:
    void execute();
    void describe();
    PgDatabase& db_;
    std::string serverSql_;
    // A write that returns no rows: inside a write transaction it goes without waiting.
    bool queueable_ = false;
    int paramCount_ = 0;
    std::vector<Value> params_;
    // Server-side prepared names, per list of parameter types.
    std::unordered_map<std::string, std::string> prepared_;
    pg_result* result_ = nullptr;
    int row_ = -1;
    bool described_ = false;
    std::vector<std::string> names_;
    std::vector<unsigned> types_;
    std::unordered_map<std::string, int> index_;
};

// A connection to a store installation on a PostgreSQL server. The four databases of a PC
// are four schemas of one server database; unqualified names resolve to `schema`.
class PgDatabase : public Database {
  public:
    PgDatabase(const std::string& conninfo, const std::string& schema,
               OpenMode mode = OpenMode::ReadWrite);
    ~PgDatabase() override;

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
    std::string chainedWriteSql(const ChainedWrite& parts) const override;
    std::string tableOptions(bool rewrittenByUpdates) const override;
    std::string declaredType(const std::string& table, const std::string& column,
                             const std::string& schema = "main") override;
    // Whether `sql` is a chained write this connection composed: it returns no rows.
    bool isChainedWrite(const std::string& sql) const { return chained_.count(sql) > 0; }
    int changes() const override {
        settle();
        return changes_;
    }
    void expectChanges(int rows, const std::string& failure) override;
    std::string rowIdentity() const override { return "rowid"; }
    std::string textEqualsIgnoringCase(const std::string& left,
                                       const std::string& right) const override;
    std::string foldedLike(const std::string& expression) const override;
    std::string columnType(FieldType type) const override;
    std::string rowIdentityColumn() const override;
    std::string copyColumnType(FieldType type) const override { return columnType(type); }
    std::string autoKeyColumn() const override;
    std::string createIndexSql(const std::string& schema, const std::string& name,
                               const std::string& table, const std::vector<std::string>& fields,
                               bool unique) const override;
    bool onServer() const override { return true; }
    void prepareLayout() override;
    void keysTaken(const std::string& table, const std::string& schema) override;
    std::string where() const override { return where_; }
    bool inTransaction() const override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;

    pg_conn* handle() const { return conn_; }
    // Checks a result: throws the Italian message, of its kind, for a failed one (and clears it).
    pg_result* check(pg_result* result, const std::string& sql);
    void setChanges(int n) { changes_ = n; }
    std::string nextStatementName() { return "s" + std::to_string(++statementCount_); }

    // Writes inside a write transaction are sent without waiting for each answer: a round trip
    // per row would dominate the loops that write row by row. Their answers are read (and a
    // failure among them raised) before anything else is asked of the server.
    bool queueing() const { return writing_; }
    void queue(const std::string& name, int count, const char* const* values);
    void settle() const;

  protected:
    std::unique_ptr<Statement> compile(const std::string& sql) override;

  private:
    pg_conn* conn_ = nullptr;
    std::string schema_, where_;
    std::set<std::string> attached_;
    mutable int changes_ = 0;
    bool writing_ = false;
    mutable int queued_ = 0;
    // Row counts the queued writes must answer with, by their place in the queue.
    struct Expected {
        int place, rows;
        std::string failure;
    };
    mutable std::vector<Expected> expected_;
    mutable std::set<std::string> chained_;
    long statementCount_ = 0;
};

// The SQL text with `?` placeholders numbered `$1`, `$2`... as the server reads them; quoted
// texts, quoted names and comments are left as they are.
std::string numberPlaceholders(const std::string& sql, int& count);

}  // namespace cl::store
