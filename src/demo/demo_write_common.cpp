#include "demo/demo_write.h"
#include "store/schema.h"

namespace cl::demo {

namespace {
std::string insertSql(const std::string& table, const std::vector<std::string>& fields) {
    std::string cols, marks;
    for (const auto& f : fields) {
        cols += (cols.empty() ? "\"" : ", \"") + f + "\"";
        marks += marks.empty() ? "?" : ", ?";
    }
    return "INSERT INTO \"" + table + "\" (" + cols + ") VALUES (" + marks + ")";
}
}  // namespace

RowInserter::RowInserter(store::Database& db, const std::string& table,
                         const std::vector<std::string>& fields)
    : statement_(db.prepare(insertSql(table, fields))) {}

void RowInserter::row(const std::vector<store::Value>& values) {
    statement_.reset();
    for (size_t i = 0; i < values.size(); ++i) statement_.bind(static_cast<int>(i + 1), values[i]);
    statement_.run();
}

store::Value money(Money m) {
    return store::Value(m.toDouble());
}
store::Value dateOrNull(const std::string& iso) {
    return iso.empty() ? store::Value() : store::Value(iso);
}
store::Value textOrNull(const std::string& text) {
    return text.empty() ? store::Value() : store::Value(text);
}

void writeSuiteDatabase(const std::filesystem::path& file, const std::string& storePath) {
    store::createDatabase(file.string(), store::DatabaseKind::Suite);
    auto dbConnection = store::openDatabase(file);
    store::Database& db = *dbConnection;
    store::Transaction tx(db);
    RowInserter(db, "società", {"codute", "database"}).row({1, storePath});
    tx.commit();
}

}  // namespace cl::demo
