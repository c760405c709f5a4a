#include "store/sqlite_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "store/identifier.h"
#include "store/schema.h"
#include "store/text_fold.h"

namespace cl::store {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string engineMessage(int rc, const std::string& detail) {
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "Il database è in uso da un'altra postazione e non si è liberato in tempo. "
                   "Riprovare più tardi.";
        case SQLITE_READONLY:
            return "Il database è in sola lettura: impossibile aggiornarlo.";
        case SQLITE_FULL:
            return "Spazio su disco esaurito: impossibile scrivere il database.";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "Il file del database è danneggiato o non è un database.";
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
            return "Errore di lettura o scrittura del database (" + detail + ").";
        default:
            return "Errore del database: " + detail + ".";
    }
}

ErrorKind engineKind(int rc, bool writing) {
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ErrorKind::Busy;
        case SQLITE_READONLY:
            return ErrorKind::ReadOnly;
        case SQLITE_CANTOPEN:
            return writing ? ErrorKind::ReadOnly : ErrorKind::Other;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return ErrorKind::Corrupt;
        case SQLITE_CONSTRAINT:
        case SQLITE_MISMATCH:
        case SQLITE_TOOBIG:
            return ErrorKind::InvalidInput;
        default:
            return ErrorKind::Other;
    }
}

}  // namespace

void raiseEngineError(int rc, const std::string& detail, bool writing) {
    throw Error(engineMessage(rc, detail), engineKind(rc, writing));
}

std::string readOnlyUri(const std::filesystem::path& absolute) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : absolute.string()) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out + "?mode=ro";
}

// ---- SqliteStatement ----

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql) : Statement(sql), db_(db) {
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        std::string detail = sqlite3_errmsg(db);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        raiseEngineError(rc, detail);
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

void SqliteStatement::rewind() {
    sqlite3_reset(stmt_);
}

void SqliteStatement::clearBindings() {
    sqlite3_clear_bindings(stmt_);
}

void SqliteStatement::bind(int index, const Value& value) {
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (auto* i = std::get_if<std::int64_t>(&value.v)) {
        rc = sqlite3_bind_int64(stmt_, index, *i);
    } else if (auto* d = std::get_if<double>(&value.v)) {
        rc = sqlite3_bind_double(stmt_, index, *d);
    } else {
        const auto& s = std::get<std::string>(value.v);
        rc =
            sqlite3_bind_text(stmt_, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) raiseEngineError(rc, sqlite3_errmsg(db_));
}

bool SqliteStatement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
        // A finished statement lets go of its read lock at once: other workstations may write.
        sqlite3_reset(stmt_);
        return false;
    }
    std::string detail = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    raiseEngineError(rc, detail, !sqlite3_stmt_readonly(stmt_));
}

void SqliteStatement::loadColumns() const {
    if (!names_.empty() || sqlite3_column_count(stmt_) == 0) return;
    int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
        names_.emplace_back(sqlite3_column_name(stmt_, i));
        index_.emplace(lower(names_.back()), i);  // first of equal names wins
    }
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

const std::string& SqliteStatement::columnName(int i) const {
    loadColumns();
    return names_.at(static_cast<size_t>(i));
}

int SqliteStatement::columnIndex(const std::string& name) const {
    loadColumns();
    auto it = index_.find(lower(name));
    return it == index_.end() ? -1 : it->second;
}

Value SqliteStatement::value(int i) const {
    switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return Value(static_cast<long long>(sqlite3_column_int64(stmt_, i)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(stmt_, i));
        case SQLITE_NULL:
            return Value();
        default: {
            auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
            return Value(std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, i))));
        }
    }
}

// ---- SqliteDatabase ----

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file, OpenMode mode) : Database(file) {
    checkUsable(file, mode);
    int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::Create) flags |= SQLITE_OPEN_CREATE;
    int rc =
        sqlite3_open_v2(file.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        std::string detail = db_ ? sqlite3_errmsg(db_) : "open";
        close();
        throw Error(
            "Attenzione ... Impossibile aprire " + file.string() + ": " + engineMessage(rc, detail),
            engineKind(rc, mode != OpenMode::ReadOnly));
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    registerTextFunctions(db_);
    sqlite3_extended_result_codes(db_, 1);
    try {
        // A garbage file with a valid header shows up here, not later in the middle of a run.
        // Only a writer sets the journal mode: a file another tool left in WAL mode cannot be
        // switched by a read-only connection, and reads as it is.
        if (mode != OpenMode::ReadOnly)
            exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
        prepare("SELECT count(*) FROM sqlite_master").step();
    } catch (const Error& e) {
        close();
        throw Error("Attenzione ... Impossibile aprire " + file.string() + ": " + e.what(),
                    e.kind());
    } catch (...) {
        close();
        throw;
    }
}

SqliteDatabase::~SqliteDatabase() {
    close();
}

void SqliteDatabase::close() noexcept {
    statements().clear();
    // A statement still held by a Query keeps the connection open until it is given back.
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

std::unique_ptr<Statement> SqliteDatabase::compile(const std::string& sql) {
    return std::make_unique<SqliteStatement>(db_, sql);
}

void SqliteDatabase::attach(const std::filesystem::path& file, const std::string& schema,
                            OpenMode mode) {
    checkUsable(file, mode);
    // An absolute path never starts with "file:"; a read-only attach needs the URI form, with
    // every byte a URI would read ('#', '%', '?') escaped.
    auto absolute = std::filesystem::absolute(file);
    SqliteStatement st(db_, "ATTACH DATABASE ? AS " + schema);
    st.bind(1, Value(mode == OpenMode::ReadOnly ? readOnlyUri(absolute) : absolute.string()));
    st.step();
    if (mode != OpenMode::ReadOnly)
        exec("PRAGMA " + schema + ".journal_mode=DELETE; PRAGMA " + schema + ".synchronous=FULL;");
    prepare("SELECT count(*) FROM " + schema + ".sqlite_master").step();
}

void SqliteDatabase::detach(const std::string& schema) {
    // Statements may refer to the schema; one still on a row would keep it locked.
    statements().rewindAll();
    statements().clear();
    exec("DETACH DATABASE " + schema);
}

bool SqliteDatabase::isAttached(const std::string& schema) {
    auto st = prepare("SELECT 1 FROM pragma_database_list WHERE name = ?");
    st.bind(1, Value(schema));
    return st.step();
}

void SqliteDatabase::exec(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string detail = err ? err : "";
        sqlite3_free(err);
        fail(rc, detail);
    }
}

void SqliteDatabase::fail(int rc, const std::string& context) const {
    raiseEngineError(rc, context, true);
}

bool SqliteDatabase::tableExists(const std::string& table, const std::string& schema) {
    auto st = prepare("SELECT 1 FROM " + schema +
                      ".sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE");
    st.bind(1, Value(table));
    return st.step();
}

std::vector<std::string> SqliteDatabase::columns(const std::string& table,
                                                 const std::string& schema) {
    std::vector<std::string> out;
    auto st = prepare("SELECT name FROM pragma_table_info(?, ?)");
    st.bindAll(table, schema);
    while (st.step()) out.push_back(st.value(0).text());
    return out;
}

int SqliteDatabase::userVersion(const std::string& schema) {
    auto st = prepare("PRAGMA " + schema + ".user_version");
    return st.step() ? static_cast<int>(st.value(0).integer()) : 0;
}

void SqliteDatabase::setUserVersion(int version, const std::string& schema) {
    exec("PRAGMA " + schema + ".user_version=" + std::to_string(version));
}

long long SqliteDatabase::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int SqliteDatabase::changes() const {
    return sqlite3_changes(db_);
}

bool SqliteDatabase::databaseExists(const std::filesystem::path& file, const std::string&) {
    return std::filesystem::exists(file);
}

std::string SqliteDatabase::foldedLike(const std::string& expression) const {
    return foldedLikeSql(expression);
}

std::string SqliteDatabase::columnType(FieldType type) const {
    switch (type) {
        case FieldType::Text:
        case FieldType::FixedText:
        case FieldType::Date:
            return "TEXT COLLATE NOCASE";
        case FieldType::Whole:
            return "INTEGER";
        case FieldType::Money:
            return "NUMERIC";
        case FieldType::Decimal:
            return "REAL";
    }
    return "TEXT";
}

std::string SqliteDatabase::createIndexSql(const std::string& schema, const std::string& name,
                                           const std::string& table,
                                           const std::vector<std::string>& fields,
                                           bool unique) const {
    std::string sql = std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " + schema + "." +
                      quoteName(name) + " ON " + quoteName(table) + " (";
    for (size_t i = 0; i < fields.size(); ++i) sql += (i ? ", " : "") + quoteName(fields[i]);
    return sql + ")";
}

bool SqliteDatabase::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

void SqliteDatabase::begin() {
    exec("BEGIN IMMEDIATE");
}

void SqliteDatabase::commit() {
    // Statements left on a row would keep the commit from releasing the locks.
    statements().rewindAll();
    exec("COMMIT");
}

void SqliteDatabase::rollback() noexcept {
    statements().rewindAll();
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace cl::store
