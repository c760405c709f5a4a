#pragma once
#include <string>
#include <vector>

namespace cl::store {

class Database;

enum class FieldType { Text, FixedText, Whole, Money, Decimal, Date };

struct FieldDef {
    std::string name;
    FieldType type;
    int width = 0;  // FixedText only
};

struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool unique = false;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;  // the ones the program seeks on come first
    const FieldDef* field(const std::string& name) const;
};

enum class DatabaseKind { Store, FixedArticles, Suite };

// Every table, field and index each database must hold. One definition; DDL is generated.
const std::vector<TableDef>& schemaOf(DatabaseKind kind);
const TableDef& tableDef(DatabaseKind kind, const std::string& table);

std::string createTableSql(const Database& db, const TableDef& table,
                           const std::string& schema = "main");
std::vector<std::string> createIndexSql(const Database& db, const TableDef& table,
                                        const std::string& schema = "main");
// Every table and index of the kind, in `schema` of an open connection.
void createTables(Database& db, DatabaseKind kind, const std::string& schema);

// Creates an empty database of the kind (refuses to touch an existing file).
void createDatabase(const std::string& file, DatabaseKind kind);
// Throws cl::Error naming the first table or field that is missing.
void validateSchema(Database& db, DatabaseKind kind, const std::string& schema = "main",
                    const std::string& shownFile = {});
// "database del negozio", ... for messages.
std::string describe(DatabaseKind kind);

// Our own files carry this in PRAGMA user_version for later upgrades.
inline constexpr int kSchemaVersion = 1;

}  // namespace cl::store
