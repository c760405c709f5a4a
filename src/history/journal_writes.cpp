// The writes of an update run to the journaled tables, each with its record in the journal.
#include "history/journal.h"
#include "store/error.h"

namespace cl::history {

namespace {

const char* kIncomplete = "Il registro dell'aggiornamento non si è potuto scrivere completamente.";

}  // namespace

const Journal::TableSql& Journal::sqlOf(const std::string& table) const {
    auto found = tables_.find(table);
    // A write outside a run, or to a table the journal does not keep, could not be undone.
    if (run_ == 0 || found == tables_.end())
        throw Error(std::string(kIncomplete) + " (tabella " + table + ")");
    return found->second;
}

void Journal::copyRow(const std::string& sql, long long change, long long row) {
    db_.prepare(sql).bindAll(change, row).run();
    db_.expectChanges(1, kIncomplete);
}

// The change row takes its values as one VALUES row: on a file an INSERT ... SELECT would make
// the engine keep a rollback copy of every page it touches, for each row the run writes. A
// server answers a read only after a round trip, so there the insert reads the article itself
// and goes with the other queued writes.
void Journal::recordChange(const std::string& table, const char* op, long long change,
                           long long row) {
    const TableSql& sql = sqlOf(table);
    if (!sql.article.empty() && db_.onServer()) {
        db_.prepare(sql.changeOfRow).bindAll(change, run_, table, op, row, row).run();
        db_.expectChanges(1, kIncomplete);
        return;
    }
    store::Value article;
    if (!sql.article.empty()) {
        auto st = db_.prepare(sql.article);
        st.bind(1, store::Value(row));
        if (!st.step()) throw Error(kIncomplete);
        article = st.value(0);
        st.reset();
    }
    db_.prepare("INSERT INTO " + std::string(kHistorySchema) +
                ".changes (id, run, tbl, op, row, article) VALUES (?, ?, ?, ?, ?, ?)")
        .bindAll(change, run_, table, op, row)
        .bind(6, article)
        .run();
}

// The write and its records as one statement where the engine chains them (on a server each
// statement costs its own turn); false where it does not, with nothing written.
bool Journal::chainedWrite(const std::string& table, const std::string& before,
                           const std::string& write, std::vector<store::Value> values,
                           const char* op) {
    const TableSql& sql = sqlOf(table);
    const std::string one = db_.chainedWriteSql({before, write, sql.afterHead, sql.changeHead});
    if (one.empty()) return false;
    values.emplace_back(lastChange_);  // the copy after
    values.emplace_back(lastChange_);  // the change row
    values.emplace_back(run_);
    values.emplace_back(table);
    values.emplace_back(op);
    db_.prepare(one).bindAll(values).run();
    db_.expectChanges(1, kIncomplete);
    return true;
}

void Journal::insertRow(const std::string& table, const Fields& fields) {
    const TableSql& sql = sqlOf(table);
    const std::string target = "main." + quoteName(table);
    std::string cols, marks;
    std::vector<store::Value> values;
    for (const auto& [name, value] : fields) {
        cols += (cols.empty() ? "" : ", ") + quoteName(name);
        marks += marks.empty() ? "?" : ", ?";
        values.push_back(value);
    }
    const std::string insert =
        fields.empty() ? "INSERT INTO " + target + " DEFAULT VALUES"
                       : "INSERT INTO " + target + " (" + cols + ") VALUES (" + marks + ")";
    ++lastChange_;
    if (chainedWrite(table, "", insert, values, "I")) return;
    db_.prepare(insert).bindAll(values).run();
    const long long row = db_.lastInsertId();
    copyRow(sql.after, lastChange_, row);
    recordChange(table, "I", lastChange_, row);
}

bool Journal::updateRow(const std::string& table, long long row, const Fields& fields) {
    const TableSql& sql = sqlOf(table);
    if (fields.empty()) return true;
    const long long change = lastChange_ + 1;
    db_.prepare(sql.before).bindAll(change, row).run();
    if (db_.changes() == 0) return false;  // no such row: nothing to write
    lastChange_ = change;
    writeUpdate(table, row, fields);
    return true;
}

// "UPDATE ... SET <each field> = ? WHERE <identity> = ?".
std::string Journal::updateSql(const std::string& table, const Fields& fields) const {
    std::string sets;
    for (const auto& [name, value] : fields)
        sets += (sets.empty() ? "" : ", ") + quoteName(name) + " = ?";
    return "UPDATE main." + quoteName(table) + " SET " + sets + " WHERE " + db_.rowIdentity() +
           " = ?";
}

void Journal::updateReadRow(const std::string& table, long long row, const Fields& fields) {
    const TableSql& sql = sqlOf(table);
    if (fields.empty()) return;
    const long long change = ++lastChange_;
    std::vector<store::Value> values;
    values.emplace_back(change);  // the copy before
    values.emplace_back(row);
    for (const auto& [name, value] : fields) values.push_back(value);
    values.emplace_back(row);
    if (chainedWrite(table, sql.before, updateSql(table, fields), values, "U")) return;
    db_.prepare(sql.before).bindAll(change, row).run();
    db_.expectChanges(1, kIncomplete);
    writeUpdate(table, row, fields);
}

// The row's new values, its copy after them and its change row; the copy before is written.
void Journal::writeUpdate(const std::string& table, long long row, const Fields& fields) {
    auto st = db_.prepare(updateSql(table, fields));
    int i = 0;
    for (const auto& [name, value] : fields) st.bind(++i, value);
    st.bind(++i, store::Value(row));
    st.run();
    copyRow(sqlOf(table).after, lastChange_, row);
    recordChange(table, "U", lastChange_, row);
}

long long Journal::updateRows(const std::string& table, const Fields& fields,
                              const std::string& where, const std::vector<store::Value>& params) {
    // The rows are chosen before any changes: a change must not move a row into the condition.
    auto st = db_.prepare("SELECT " + db_.rowIdentity() + " FROM main." + quoteName(table) + where);
    for (size_t i = 0; i < params.size(); ++i) st.bind(static_cast<int>(i) + 1, params[i]);
    std::vector<long long> rows;
    while (st.step()) rows.push_back(st.value(0).integer());
    long long changed = 0;
    for (long long row : rows) changed += updateRow(table, row, fields) ? 1 : 0;
    return changed;
}

long long Journal::deleteRows(const std::string& table, const std::string& where,
                              const std::vector<store::Value>& params) {
    const TableSql& sql = sqlOf(table);
    auto execute = [&](const std::string& text, std::vector<store::Value> leading) {
        auto st = db_.prepare(text + where);
        leading.insert(leading.end(), params.begin(), params.end());
        for (size_t i = 0; i < leading.size(); ++i) st.bind(static_cast<int>(i) + 1, leading[i]);
        st.run();
        return static_cast<long long>(db_.changes());
    };
    // The same condition three times, inside one transaction: the same rows each time.
    const long long recorded = execute(sql.changeWhere, {lastChange_, run_, table});
    const long long copied = execute(sql.beforeWhere, {lastChange_});
    const long long removed = execute("DELETE FROM main." + quoteName(table), {});
    if (recorded != removed || copied != removed) throw Error(kIncomplete);
    lastChange_ += removed;
    return removed;
}

}  // namespace cl::history
