#pragma once
#include <optional>
#include <string>
#include <vector>

#include "store/csv_records.h"
#include "store/schema.h"

namespace cl::store {

// Access column types as mdb-schema's "access" backend names them.
enum class AccessType {
    Boolean,
    Byte,
    Integer,
    LongInteger,
    Currency,
    Single,
    Double,
    DateTime,
    Binary,
    Text,
    OLE,
    Memo,
    ReplicationId,
    Numeric,
    Unknown
};

struct AccessColumn {
    std::string name;
    AccessType type = AccessType::Unknown;
    std::string typeText;        // as mdb-schema wrote it, for messages
    std::string defaultSql;      // SQLite DEFAULT expression; empty for none
    std::string droppedDefault;  // an Access default with no SQLite equivalent
};

struct AccessTable {
    std::string name;
    std::vector<AccessColumn> columns;
    const AccessColumn* column(const std::string& name) const;  // case-insensitive
};

struct AccessIndex {
    std::string table;
    std::string name;
    std::vector<std::string> columns;
    bool unique = false;  // primary keys are unique
};

// Reads `mdb-schema FILE access` (tables, columns, types, defaults).
std::vector<AccessTable> parseAccessSchema(const std::string& text);
// Reads the index statements of `mdb-schema --indexes FILE oracle`.
std::vector<AccessIndex> parseIndexStatements(const std::string& text);

// An AutoNumber field: Access numbers new rows itself, so the import adds a trigger that does.
struct AutoNumber {
    std::string table;
    std::string column;
};
// Reads the AutoNumber fields from `mdb-schema FILE mysql` ("auto_increment").
std::vector<AutoNumber> parseAutoNumbers(const std::string& text);
// After an insert that leaves the field null, it takes the highest value + 1.
std::string autoNumberTriggerSql(const AutoNumber& field);

AccessType accessTypeNamed(const std::string& typeText);
// Storage of each Access type in SQLite: money NUMERIC, dates and texts TEXT COLLATE NOCASE,
// whole numbers and Yes/No INTEGER, Single/Double REAL, binaries BLOB.
std::string sqliteType(AccessType type);
std::string createTableSql(const AccessTable& table);

// The index to create on one imported table.
struct PlannedIndex {
    std::string name;
    std::string table;
    std::vector<std::string> columns;
    bool unique = false;
    bool required = false;  // one the program seeks on; made non-unique if the data have doubles
};

// The program's database kind whose tables the import holds most of; none when it holds none.
std::optional<DatabaseKind> guessKind(const std::vector<AccessTable>& tables);
// The source's own indexes, plus those the program seeks on when the source lacks them (under
// the program's names, which the seeks use). Notes name what could not be planned.
std::vector<PlannedIndex> planIndexes(const std::vector<AccessTable>& tables,
                                      const std::vector<AccessIndex>& sourceIndexes,
                                      std::optional<DatabaseKind> kind,
                                      std::vector<std::string>& notes);
std::string createIndexSql(const PlannedIndex& index, bool unique);

// A value exported by mdb-export as it is stored; binaries come back as hex text.
struct StoredValue {
    enum class Kind { Null, Integer, Real, Text, Blob } kind = Kind::Null;
    long long integer = 0;
    double real = 0;
    std::string text;  // text, or the bytes of a blob
};
StoredValue storedValue(AccessType type, const CsvField& field);

// Date format asked of mdb-export; midnight is dropped, so a plain date reads 'YYYY-MM-DD'.
inline constexpr const char* kExportDateFormat = "%Y-%m-%d %H:%M:%S";

}  // namespace cl::store
