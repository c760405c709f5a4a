#pragma once
#include <map>
#include <string>
#include <vector>

#include "store/database.h"

namespace cl::store {

// A named view bound to one database and a record source (a table name or a SELECT over one
// base table), with a current row, navigation, find and edit/add/delete through the base table.
// Rows are read into memory on refresh: meant for lookups and short lists, not for walks over a
// whole store (those use statements directly).
class TableView {
  public:
    TableView(std::string name, Database& db);

    const std::string& name() const { return name_; }
    // `source` is a table name or SQL; `params` are bound to its "?" placeholders.
    void setSource(std::string source, std::vector<Value> params = {});
    void refresh();

    bool eof() const { return pos_ >= rows_.size(); }
    bool bof() const { return rows_.empty(); }
    size_t recordCount() const { return rows_.size(); }
    void moveFirst() { pos_ = 0; }
    void moveNext() {
        if (pos_ < rows_.size()) ++pos_;
    }
    void moveLast() { pos_ = rows_.empty() ? 0 : rows_.size() - 1; }
    // First row from the top whose field equals value (texts compared trimmed, ignoring case).
    bool findFirst(const std::string& field, const Value& value);

    Value field(const std::string& field) const;
    std::string text(const std::string& f) const { return field(f).text(); }
    double number(const std::string& f) const { return field(f).number(); }
    long long integer(const std::string& f) const { return field(f).integer(); }

    void edit();
    void addNew();
    void set(const std::string& field, const Value& value);
    void update();
    void remove();  // deletes the current row and moves to the next

  private:
    int columnOf(const std::string& field) const;
    std::string name_;
    Database& db_;
    std::string source_, baseTable_;
    std::vector<Value> params_;
    std::vector<std::string> columns_;
    std::vector<std::vector<Value>> rows_;
    std::vector<long long> rowids_;
    size_t pos_ = 0;
    enum class Mode { None, Edit, Add } mode_ = Mode::None;
    std::map<std::string, Value> pending_;
};

// A whole table opened directly, positioned by seeking a named index for equality.
class TableCursor {
  public:
    TableCursor(Database& db, std::string table, std::string schema = "main");

    void setIndex(const std::string& indexName);
    // Seeks the first row whose indexed fields equal the keys. Fixed-width texts match padded
    // or trimmed alike.
    bool seek(const std::vector<Value>& keys);
    bool seek(const Value& key) { return seek(std::vector<Value>{key}); }
    bool noMatch() const { return !current_; }

    Value field(const std::string& field) const;
    std::string text(const std::string& f) const { return field(f).text(); }
    double number(const std::string& f) const { return field(f).number(); }
    long long integer(const std::string& f) const { return field(f).integer(); }

    void edit();
    void addNew();
    void set(const std::string& field, const Value& value);
    void update();
    const std::string& table() const { return table_; }

  private:
    Database& db_;
    std::string table_, schema_, qualified_;
    std::vector<std::string> keyFields_;
    std::vector<std::string> columns_;
    std::vector<Value> row_;
    long long rowid_ = 0;
    bool current_ = false;
    enum class Mode { None, Edit, Add } mode_ = Mode::None;
    std::map<std::string, Value> pending_;
};

// Writes pending field values as one UPDATE or INSERT; shared by views and cursors.
long long writeRow(Database& db, const std::string& qualifiedTable,
                   const std::map<std::string, Value>& values, long long rowid, bool insert);

}  // namespace cl::store
