#include "store/database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

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

}  // namespace

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

// ---- Statement ----

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        std::string detail = sqlite3_errmsg(db);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw Error(engineMessage(rc, detail));
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement& Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    return *this;
}

Statement& Statement::bind(int index, const Value& value) {
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
    if (rc != SQLITE_OK) throw Error(engineMessage(rc, sqlite3_errmsg(db_)));
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
        // A finished statement lets go of its read lock at once: other workstations may write.
        sqlite3_reset(stmt_);
        return false;
    }
    std::string detail = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw Error(engineMessage(rc, detail));
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::loadColumns() const {
    if (!names_.empty() || sqlite3_column_count(stmt_) == 0) return;
    int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
        names_.emplace_back(sqlite3_column_name(stmt_, i));
        index_.emplace(lower(names_.back()), i);  // first of equal names wins
    }
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

const std::string& Statement::columnName(int i) const {
    loadColumns();
    return names_.at(static_cast<size_t>(i));
}

int Statement::columnIndex(const std::string& name) const {
    loadColumns();
    auto it = index_.find(lower(name));
    return it == index_.end() ? -1 : it->second;
}

Value Statement::value(int i) const {
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

Value Statement::value(const std::string& name) const {
    int i = columnIndex(name);
    if (i < 0) throw Error("Campo \"" + name + "\" mancante nella tabella.");
    return value(i);
}

// ---- file checks ----

FileKind fileKind(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return FileKind::Directory;
    if (!std::filesystem::exists(file, ec)) return FileKind::Missing;
    // Only a regular file is opened to read its header: opening a FIFO waits for a writer.
    if (!std::filesystem::is_regular_file(file, ec)) return FileKind::Special;
    std::ifstream in(file, std::ios::binary);
    char head[32] = {};
    in.read(head, sizeof head);
    auto got = in.gcount();
    if (got == 0) return FileKind::Empty;
    if (got >= 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return FileKind::SQLite;
    if (got >= 19 && (std::memcmp(head + 4, "Standard Jet DB", 15) == 0 ||
                      std::memcmp(head + 4, "Standard ACE DB", 15) == 0))
        return FileKind::Access;
    return FileKind::Other;
}

void checkUsable(const std::filesystem::path& file, OpenMode mode) {
    const std::string name = file.string();
    switch (fileKind(file)) {
        case FileKind::Missing:
            if (mode == OpenMode::Create) return;
            throw Error("Attenzione ... File " + name + "  non esiste ");
        case FileKind::Directory:
            throw Error("Attenzione ... " + name + " è una cartella, non un database.");
        case FileKind::Special:
            throw Error("Attenzione ... " + name +
                        " non è un file normale (è una FIFO, un socket o un dispositivo): non si "
                        "può usare come database.");
        case FileKind::Empty:
            if (mode == OpenMode::Create) return;
            throw Error("Attenzione ... Il file " + name + " è vuoto: non è un database.");
        case FileKind::Access:
            throw Error("Attenzione ... Il file " + name +
                        " è un database Access. Questo programma usa database SQLite: "
                        "convertirlo con \"controllo-listino import-mdb " +
                        name + "\".");
        case FileKind::Other:
            throw Error("Attenzione ... Il file " + name + " non è un database valido.");
        case FileKind::SQLite:
            break;
    }
    // A file without any write permission is read-only even for a user (root) whom access()
    // would let write.
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto writeBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    bool noWriteBit = (fs::status(file, ec).permissions() & writeBits) == fs::perms::none;
    if (mode != OpenMode::ReadOnly && (noWriteBit || ::access(file.c_str(), W_OK) != 0))
        throw Error("Attenzione ... Il file " + name +
                    " è in sola lettura: impossibile aggiornarlo.");
}

// ---- Database ----

Database::Database(const std::filesystem::path& file, OpenMode mode) : file_(file) {
    checkUsable(file, mode);
    int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::Create) flags |= SQLITE_OPEN_CREATE;
    int rc =
        sqlite3_open_v2(file.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        std::string detail = db_ ? sqlite3_errmsg(db_) : "open";
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Attenzione ... Impossibile aprire " + file.string() + ": " +
                    engineMessage(rc, detail));
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
        // Reset at once: a statement left stepping would hold a read lock and make a later
        // DROP TABLE or DETACH on this connection fail as "locked".
        prepare("SELECT count(*) FROM sqlite_master").step();
        resetAll();
    } catch (const Error& e) {
        cache_.clear();
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Attenzione ... Impossibile aprire " + file.string() + ": " + e.what());
    } catch (...) {
        cache_.clear();
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

Database::~Database() {
    cache_.clear();
    if (db_) sqlite3_close(db_);
}

void Database::attach(const std::filesystem::path& file, const std::string& schema, OpenMode mode) {
    checkUsable(file, mode);
    // An absolute path never starts with "file:"; a read-only attach needs the URI form, with
    // every byte a URI would read ('#', '%', '?') escaped.
    auto absolute = std::filesystem::absolute(file);
    Statement st(db_, "ATTACH DATABASE ? AS " + schema);
    st.bind(1, Value(mode == OpenMode::ReadOnly ? readOnlyUri(absolute) : absolute.string()));
    st.step();
    if (mode != OpenMode::ReadOnly)
        exec("PRAGMA " + schema + ".journal_mode=DELETE; PRAGMA " + schema + ".synchronous=FULL;");
    prepare("SELECT count(*) FROM " + schema + ".sqlite_master").step();
    resetAll();
}

bool Database::isAttached(const std::string& schema) {
    auto& st = prepare("SELECT 1 FROM pragma_database_list WHERE name = ?");
    st.bind(1, Value(schema));
    bool found = st.step();
    st.reset();
    return found;
}

void Database::resetAll() {
    for (auto& [sql, st] : cache_) sqlite3_reset(st->handle());
}

void Database::detach(const std::string& schema) {
    cache_.clear();  // statements may refer to the schema
    exec("DETACH DATABASE " + schema);
}

Statement& Database::prepare(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) it = cache_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
    return it->second->reset();
}

void Database::exec(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string detail = err ? err : "";
        sqlite3_free(err);
        fail(rc, detail);
    }
}

void Database::fail(int rc, const std::string& context) const {
    throw Error(engineMessage(rc, context));
}

bool Database::tableExists(const std::string& table, const std::string& schema) {
    auto& st = prepare("SELECT 1 FROM " + schema +
                       ".sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE");
    st.bind(1, Value(table));
    bool found = st.step();
    st.reset();
    return found;
}

std::vector<std::string> Database::columns(const std::string& table, const std::string& schema) {
    std::vector<std::string> out;
    auto& st = prepare("SELECT name FROM pragma_table_info(?, ?)");
    st.bindAll(table, schema);
    while (st.step()) out.push_back(st.value(0).text());
    return out;
}

int Database::userVersion(const std::string& schema) {
    auto& st = prepare("PRAGMA " + schema + ".user_version");
    int version = st.step() ? static_cast<int>(st.value(0).integer()) : 0;
    st.reset();
    return version;
}

void Database::setUserVersion(int version, const std::string& schema) {
    exec("PRAGMA " + schema + ".user_version=" + std::to_string(version));
}

long long Database::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_);
}
int Database::changes() const {
    return sqlite3_changes(db_);
}
bool Database::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_ && db_.inTransaction()) {
        db_.resetAll();
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    // Statements left on a row would keep the commit from releasing the locks.
    db_.resetAll();
    db_.exec("COMMIT");
    done_ = true;
}

}  // namespace cl::store
