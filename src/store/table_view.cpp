#include "store/table_view.h"

#include <algorithm>
#include <cctype>

#include "store/fixed_text.h"
#include "store/identifier.h"

namespace cl::store {

namespace {

bool equalNoCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The word after the first FROM of a SELECT: the table that edits write to.
std::string baseTableOf(const std::string& sql) {
    std::string up = sql;
    std::transform(up.begin(), up.end(), up.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    auto at = up.find(" FROM ");
    if (at == std::string::npos) return {};
    size_t i = at + 6;
    while (i < sql.size() && sql[i] == ' ') ++i;
    size_t j = i;
    while (j < sql.size() && sql[j] != ' ' && sql[j] != ',' && sql[j] != ';') ++j;
    std::string t = sql.substr(i, j - i);
    t.erase(std::remove_if(t.begin(), t.end(), [](char c) { return c == '[' || c == ']'; }),
            t.end());
    return t;
}

bool valuesMatch(const Value& stored, const Value& wanted) {
    if (stored.isText() || wanted.isText())
        return equalNoCase(trimmed(stored.text()), trimmed(wanted.text()));
    return stored.number() == wanted.number();
}

}  // namespace

long long writeRow(Database& db, const std::string& qualifiedTable,
                   const std::map<std::string, Value>& values, long long rowid, bool insert) {
    std::string sql;
    if (insert) {
        std::string cols, marks;
        for (const auto& [k, v] : values) {
            cols += (cols.empty() ? "" : ", ") + quoteName(k);
            marks += marks.empty() ? "?" : ", ?";
        }
        sql = values.empty()
                  ? "INSERT INTO " + qualifiedTable + " DEFAULT VALUES"
                  : "INSERT INTO " + qualifiedTable + " (" + cols + ") VALUES (" + marks + ")";
    } else {
        if (values.empty()) return rowid;
        std::string sets;
        for (const auto& [k, v] : values)
            sets += (sets.empty() ? "" : ", ") + quoteName(k) + " = ?";
        sql = "UPDATE " + qualifiedTable + " SET " + sets + " WHERE rowid = ?";
    }
    auto st = db.prepare(sql);
    int i = 0;
    for (const auto& [k, v] : values) st.bind(++i, v);
    if (!insert) st.bind(++i, Value(rowid));
    st.run();
    return insert ? db.lastInsertId() : rowid;
}

// ---- TableView ----

TableView::TableView(std::string name, Database& db) : name_(std::move(name)), db_(db) {}

void TableView::setSource(std::string source, std::vector<Value> params) {
    source_ = std::move(source);
    params_ = std::move(params);
}

void TableView::refresh() {
    bool isSelect = source_.size() > 6 && equalNoCase(source_.substr(0, 6), "SELECT");
    baseTable_ = isSelect ? baseTableOf(source_) : source_;
    std::string sql =
        isSelect ? "SELECT " + quoteName(baseTable_) + ".rowid AS cl_rowid, " + source_.substr(7)
                 : "SELECT rowid AS cl_rowid, * FROM " + quoteName(source_);
    auto st = db_.prepare(sql);
    for (size_t i = 0; i < params_.size(); ++i) st.bind(static_cast<int>(i + 1), params_[i]);
    rows_.clear();
    rowids_.clear();
    columns_.clear();
    bool first = true;
    while (st.step()) {
        if (first) {
            for (int c = 1; c < st.columnCount(); ++c) columns_.push_back(st.columnName(c));
            first = false;
        }
        rowids_.push_back(st.value(0).integer());
        std::vector<Value> row;
        row.reserve(columns_.size());
        for (int c = 1; c < st.columnCount(); ++c) row.push_back(st.value(c));
        rows_.push_back(std::move(row));
    }
    if (first)
        for (int c = 1; c < st.columnCount(); ++c) columns_.push_back(st.columnName(c));
    pos_ = 0;
    mode_ = Mode::None;
    pending_.clear();
}

int TableView::columnOf(const std::string& field) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (equalNoCase(columns_[i], field)) return static_cast<int>(i);
    throw Error("Campo \"" + field + "\" mancante nella vista " + name_ + ".");
}

bool TableView::findFirst(const std::string& field, const Value& value) {
    int c = columnOf(field);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (valuesMatch(rows_[i][static_cast<size_t>(c)], value)) {
            pos_ = i;
            return true;
        }
    }
    return false;
}

Value TableView::field(const std::string& f) const {
    int c = columnOf(f);
    if (mode_ != Mode::None) {
        for (const auto& [k, v] : pending_)
            if (equalNoCase(k, f)) return v;
        if (mode_ == Mode::Add) return Value();
    }
    if (eof()) throw Error("Nessun record corrente nella vista " + name_ + ".");
    return rows_[pos_][static_cast<size_t>(c)];
}

void TableView::edit() {
    if (eof()) throw Error("Nessun record corrente nella vista " + name_ + ".");
    mode_ = Mode::Edit;
    pending_.clear();
}

void TableView::addNew() {
    mode_ = Mode::Add;
    pending_.clear();
}

void TableView::set(const std::string& f, const Value& value) {
    if (mode_ == Mode::None) throw Error("Vista " + name_ + " non in modifica.");
    pending_[f] = value;
}

void TableView::update() {
    if (mode_ == Mode::None) throw Error("Vista " + name_ + " non in modifica.");
    bool insert = mode_ == Mode::Add;
    long long rowid =
        writeRow(db_, quoteName(baseTable_), pending_, insert ? 0 : rowids_[pos_], insert);
    if (insert) {
        std::vector<Value> row(columns_.size());
        rows_.push_back(row);
        rowids_.push_back(rowid);
        pos_ = rows_.size() - 1;
    }
    for (const auto& [k, v] : pending_) {
        for (size_t i = 0; i < columns_.size(); ++i)
            if (equalNoCase(columns_[i], k)) rows_[pos_][i] = v;
    }
    mode_ = Mode::None;
    pending_.clear();
}

void TableView::remove() {
    if (eof()) throw Error("Nessun record corrente nella vista " + name_ + ".");
    db_.prepare("DELETE FROM " + quoteName(baseTable_) + " WHERE rowid = ?")
        .bind(1, Value(rowids_[pos_]))
        .run();
    rows_.erase(rows_.begin() + static_cast<long>(pos_));
    rowids_.erase(rowids_.begin() + static_cast<long>(pos_));
}

// ---- TableCursor ----

TableCursor::TableCursor(Database& db, std::string table, std::string schema)
    : db_(db), table_(std::move(table)), schema_(std::move(schema)) {
    qualified_ = schema_ + "." + quoteName(table_);
    columns_ = db_.columns(table_, schema_);
    if (columns_.empty()) throw Error("Attenzione ... Manca la tabella \"" + table_ + "\".");
}

void TableCursor::setIndex(const std::string& indexName) {
    keyFields_.clear();
    auto st = db_.prepare("SELECT name FROM " + schema_ + ".pragma_index_info(?) ORDER BY seqno");
    st.bind(1, Value(indexName));
    while (st.step()) keyFields_.push_back(st.value(0).text());
    if (keyFields_.empty())
        throw Error("Attenzione ... Manca l'indice \"" + indexName + "\" della tabella \"" +
                    table_ + "\".");
}

bool TableCursor::seek(const std::vector<Value>& keys) {
    if (keys.size() != keyFields_.size()) throw Error("Chiave di ricerca non valida su " + table_);
    std::string where;
    for (const auto& k : keyFields_)
        where +=
            (where.empty() ? "(" : " AND (") + quoteName(k) + " = ? OR " + quoteName(k) + " = ?)";
    auto st = db_.prepare("SELECT rowid, * FROM " + qualified_ + " WHERE " + where + " LIMIT 1");
    int i = 0;
    for (const auto& key : keys) {
        // A fixed-width text may be stored padded or not: both forms hit the index.
        Value alt = key.isText() ? Value(trimmed(key.text())) : key;
        st.bind(++i, key);
        st.bind(++i, alt);
    }
    current_ = st.step();
    row_.clear();
    if (current_) {
        rowid_ = st.value(0).integer();
        for (int c = 1; c < st.columnCount(); ++c) row_.push_back(st.value(c));
    }
    st.reset();
    mode_ = Mode::None;
    pending_.clear();
    return current_;
}

Value TableCursor::field(const std::string& f) const {
    for (const auto& [k, v] : pending_)
        if (equalNoCase(k, f)) return v;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (equalNoCase(columns_[i], f)) {
            if (mode_ == Mode::Add || !current_) return Value();
            return row_[i];
        }
    }
    throw Error("Campo \"" + f + "\" mancante nella tabella " + table_ + ".");
}

void TableCursor::edit() {
    if (!current_) throw Error("Nessun record corrente nella tabella " + table_ + ".");
    mode_ = Mode::Edit;
    pending_.clear();
}

void TableCursor::addNew() {
    mode_ = Mode::Add;
    pending_.clear();
}

void TableCursor::set(const std::string& f, const Value& value) {
    if (mode_ == Mode::None) throw Error("Tabella " + table_ + " non in modifica.");
    pending_[f] = value;
}

void TableCursor::update() {
    if (mode_ == Mode::None) throw Error("Tabella " + table_ + " non in modifica.");
    rowid_ = writeRow(db_, qualified_, pending_, rowid_, mode_ == Mode::Add);
    mode_ = Mode::None;
    pending_.clear();
    // As after an update in the original engine, the cursor keeps no current row.
    current_ = false;
}

}  // namespace cl::store
