#include "store/pg_database.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "store/connection_mask.h"
#include "store/identifier.h"
#include "store/schema.h"

namespace cl::store {

namespace {

// Type numbers of the server's built-in types that read as numbers.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

// One lock, held by every write transaction until it ends, serialises the writers of a store
// installation as a file lock does on one PC; readers never wait for it.
constexpr long long kWriterLock = 0x436f4c69;  // "CoLi"

// Writes sent before their answers are read: few enough that the answers never fill the
// socket while the program is still sending.
constexpr int kQueuedWrites = 256;

// INSERT, UPDATE or DELETE returning no rows.
bool writesWithoutRows(const std::string& sql) {
    size_t start = sql.find_first_not_of(" \t\r\n(");
    if (start == std::string::npos) return false;
    std::string head;
    for (size_t i = start; i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i])); ++i)
        head += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i])));
    if (head != "INSERT" && head != "UPDATE" && head != "DELETE") return false;
    std::string upper(sql);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    return upper.find("RETURNING") == std::string::npos;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string firstLine(const char* text) {
    std::string s = text ? text : "";
    if (auto nl = s.find('\n'); nl != std::string::npos) s.resize(nl);
    return s;
}

bool lostConnection(PGconn* conn, const std::string& state) {
    return PQstatus(conn) == CONNECTION_BAD || state.rfind("08", 0) == 0 || state == "57P01" ||
           state == "57P02" || state == "57P03";
}

[[noreturn]] void raise(PGconn* conn, const std::string& state, const std::string& detail) {
    if (lostConnection(conn, state))
        throw Error("Attenzione ... Il collegamento con il server si è interrotto (" + detail +
                        "). L'operazione in corso non è stata salvata.",
                    ErrorKind::Other);
    if (state == "55P03" || state == "40P01" || state == "40001")
        throw Error(
            "Il database è in uso da un'altra postazione e non si è liberato in tempo. "
            "Riprovare più tardi.",
            ErrorKind::Busy);
    if (state == "25006" || state == "42501")
        throw Error("Il database è in sola lettura: impossibile aggiornarlo.", ErrorKind::ReadOnly);
    if (state.rfind("23", 0) == 0 || state.rfind("22", 0) == 0)
        throw Error("Errore del database: " + detail + ".", ErrorKind::InvalidInput);
    if (state == "42P01" || state == "3F000")
        throw Error("Errore del database: " + detail + ".", ErrorKind::NotFound);
    throw Error("Errore del database: " + detail + ".", ErrorKind::Other);
}

std::string paramText(const Value& v) {
    if (auto* i = std::get_if<std::int64_t>(&v.v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v.v)) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", *d);
        return buf;
    }
    return std::get<std::string>(v.v);
}

// Whole numbers as int8, fractions as float8; texts and nulls take the type their place in
// the statement gives them (a date, a case-insensitive text, an amount).
Oid paramType(const Value& v) {
    if (std::holds_alternative<std::int64_t>(v.v)) return kInt8;
    if (std::holds_alternative<double>(v.v)) return kFloat8;
    return 0;
}

char typeLetter(Oid t) {
    return t == kInt8 ? 'i' : t == kFloat8 ? 'd' : 'u';
}

// An amount with nothing after the point reads as a whole number, as a numeric column of the
// file engine keeps it.
Value numericValue(const char* text) {
    std::string s = text;
    auto dot = s.find('.');
    bool whole = dot == std::string::npos || s.find_first_not_of('0', dot + 1) == std::string::npos;
    if (whole && s.size() < 19) return Value(std::strtoll(s.c_str(), nullptr, 10));
    return Value(std::strtod(s.c_str(), nullptr));
}

}  // namespace

std::string numberPlaceholders(const std::string& sql, int& count) {
    std::string out;
    out.reserve(sql.size() + 16);
    count = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (c == '\'' || c == '"') {
            size_t end = i + 1;
            while (end < sql.size()) {
                if (sql[end] == c) {
                    if (end + 1 < sql.size() && sql[end + 1] == c) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out.append(sql, i, end - i + 1);
            i = end;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            size_t end = sql.find('\n', i);
            if (end == std::string::npos) end = sql.size();
            out.append(sql, i, end - i);
            i = end - 1;
        } else if (c == '?') {
            out += "$" + std::to_string(++count);
        } else {
            out += c;
        }
    }
    return out;
}

// ---- PgStatement ----

PgStatement::PgStatement(PgDatabase& db, const std::string& sql) : Statement(sql), db_(db) {
    serverSql_ = numberPlaceholders(sql, paramCount_);
    params_.resize(static_cast<size_t>(paramCount_));
    queueable_ = writesWithoutRows(sql) || db.isChainedWrite(sql);
}

PgStatement::~PgStatement() {
    PQclear(result_);
    // Prepared statements end with the connection; closing them one by one would cost a round
    // trip each at every shutdown.
}

void PgStatement::bind(int index, const Value& value) {
    if (index < 1 || index > paramCount_)
        throw Error("Errore del database: parametro " + std::to_string(index) +
                    " fuori intervallo.");
    params_[static_cast<size_t>(index - 1)] = value;
}

void PgStatement::clearBindings() {
    std::fill(params_.begin(), params_.end(), Value());
}

void PgStatement::rewind() {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
}

void PgStatement::execute() {
    std::vector<Oid> types;
    std::string key;
    std::vector<std::string> texts;
    std::vector<const char*> values;
    for (const auto& p : params_) {
        types.push_back(paramType(p));
        key += typeLetter(types.back());
        texts.push_back(p.isNull() ? std::string() : paramText(p));
    }
    for (size_t i = 0; i < params_.size(); ++i)
        values.push_back(params_[i].isNull() ? nullptr : texts[i].c_str());
    auto it = prepared_.find(key);
    if (it == prepared_.end()) {
        db_.settle();
        std::string name = db_.nextStatementName();
        PQclear(db_.check(
            PQprepare(db_.handle(), name.c_str(), serverSql_.c_str(), paramCount_, types.data()),
            sql()));
        it = prepared_.emplace(key, name).first;
    }
    if (queueable_ && db_.queueing()) {
        // No rows to read: step() ends at once, as it would after the answer.
        db_.queue(it->second, paramCount_, values.data());
        row_ = -1;
        return;
    }
    db_.settle();
    result_ = db_.check(PQexecPrepared(db_.handle(), it->second.c_str(), paramCount_, values.data(),
                                       nullptr, nullptr, 0),
                        sql());
    const char* affected = PQcmdTuples(result_);
    if (affected && *affected) db_.setChanges(std::atoi(affected));
    row_ = -1;
    if (!described_) {
        int n = PQnfields(result_);
        for (int i = 0; i < n; ++i) {
            names_.emplace_back(PQfname(result_, i));
            types_.push_back(PQftype(result_, i));
            index_.emplace(lower(names_.back()), i);
        }
        described_ = true;
    }
}

void PgStatement::describe() {
    if (described_) return;
    db_.settle();
    std::string name = db_.nextStatementName();
    PQclear(
        db_.check(PQprepare(db_.handle(), name.c_str(), serverSql_.c_str(), 0, nullptr), sql()));
    PGresult* d = db_.check(PQdescribePrepared(db_.handle(), name.c_str()), sql());
    int n = PQnfields(d);
    for (int i = 0; i < n; ++i) {
        names_.emplace_back(PQfname(d, i));
        types_.push_back(PQftype(d, i));
        index_.emplace(lower(names_.back()), i);
    }
    PQclear(d);
    described_ = true;
}

bool PgStatement::step() {
    if (!result_) execute();
    if (!result_) return false;  // a write sent without waiting: no rows
    if (++row_ < PQntuples(result_)) return true;
    // The next step runs the statement again, as a finished statement of the file engine does.
    rewind();
    return false;
}

int PgStatement::columnCount() const {
    const_cast<PgStatement*>(this)->describe();
    return static_cast<int>(names_.size());
}

const std::string& PgStatement::columnName(int i) const {
    const_cast<PgStatement*>(this)->describe();
    return names_.at(static_cast<size_t>(i));
}

int PgStatement::columnIndex(const std::string& name) const {
    const_cast<PgStatement*>(this)->describe();
    auto it = index_.find(lower(name));
    return it == index_.end() ? -1 : it->second;
}

Value PgStatement::value(int i) const {
    if (!result_ || row_ < 0 || row_ >= PQntuples(result_) || PQgetisnull(result_, row_, i))
        return Value();
    const char* text = PQgetvalue(result_, row_, i);
    switch (types_.at(static_cast<size_t>(i))) {
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid:
            return Value(std::strtoll(text, nullptr, 10));
        case kBool:
            return Value(text[0] == 't' ? 1 : 0);
        case kFloat4:
        case kFloat8:
            return Value(std::strtod(text, nullptr));
        case kNumeric:
            return numericValue(text);
        default:
            return Value(std::string(text));
    }
}

// ---- PgDatabase ----

PgDatabase::PgDatabase(const std::string& conninfo, const std::string& schema, OpenMode mode)
    : Database("server"), schema_(schema) {
    // The connection string comes last, so that what the operator wrote wins.
    const char* keys[] = {"connect_timeout", "application_name", "client_encoding", "dbname",
                          nullptr};
    const char* values[] = {"10", "controllo-listino", "UTF8", conninfo.c_str(), nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        std::string detail = firstLine(conn_ ? PQerrorMessage(conn_) : "memoria esaurita");
        PQfinish(conn_);
        conn_ = nullptr;
        // The server library may quote back pieces of the string it could not read.
        throw Error("Attenzione ... Impossibile collegarsi al server PostgreSQL (" +
                        withoutPasswords(conninfo, conninfo) +
                        "): " + withoutPasswords(detail, conninfo) +
                        "\nControllare che il server sia acceso e raggiungibile, e l'indirizzo "
                        "indicato con --server, CONTROLLO_LISTINO_SERVER o il file di "
                        "impostazioni.",
                    ErrorKind::NotFound);
    }
    where_ = withoutPasswords(std::string(PQdb(conn_)) + "@" + (PQhost(conn_) ? PQhost(conn_) : ""),
                              conninfo);
    try {
        exec(
            "SET client_min_messages = warning; SET DateStyle = 'ISO, YMD'; "
            "SET lock_timeout = '" +
            std::to_string(kBusyTimeoutMs) + "ms'; SET search_path TO " + quoteName(schema) +
            ", public");
        if (mode == OpenMode::ReadOnly) exec("SET default_transaction_read_only = on");
        if (mode != OpenMode::Create && !databaseExists({}, schema))
            throw Error("Attenzione ... Sul server " + where_ + " manca lo schema \"" + schema +
                            "\": eseguire prima \"controllo-listino server init\" (e "
                            "\"server import\" per portarvi un negozio).",
                        ErrorKind::NotFound);
    } catch (...) {
        PQfinish(conn_);
        conn_ = nullptr;
        throw;
    }
    attached_.insert(schema);
}

PgDatabase::~PgDatabase() {
    statements().clear();
    PQfinish(conn_);
}

PGresult* PgDatabase::check(PGresult* result, const std::string& sql) {
    ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY)
        return result;
    std::string state, detail;
    if (result) {
        const char* s = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        state = s ? s : "";
        detail = firstLine(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    }
    if (detail.empty()) detail = firstLine(PQerrorMessage(conn_));
    PQclear(result);
    (void)sql;
    raise(conn_, state, detail);
}

std::unique_ptr<Statement> PgDatabase::compile(const std::string& sql) {
    return std::make_unique<PgStatement>(*this, sql);
}

void PgDatabase::queue(const std::string& name, int count, const char* const* values) {
    if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF && PQenterPipelineMode(conn_) != 1)
        raise(conn_, "", firstLine(PQerrorMessage(conn_)));
    if (PQsendQueryPrepared(conn_, name.c_str(), count, values, nullptr, nullptr, 0) != 1) {
        const std::string detail = firstLine(PQerrorMessage(conn_));
        settle();
        raise(conn_, "", detail);
    }
    if (++queued_ >= kQueuedWrites) settle();
}

void PgDatabase::expectChanges(int rows, const std::string& failure) {
    // The write just sent is the last one queued; one that ran at once has its count already.
    if (queued_ > 0)
        expected_.push_back({queued_ - 1, rows, failure});
    else if (changes_ != rows)
        throw Error(failure);
}

void PgDatabase::settle() const {
    if (!conn_ || PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) return;
    queued_ = 0;
    std::vector<Expected> expected;
    expected.swap(expected_);
    auto nextExpected = expected.begin();
    std::string state, detail, ourFailure;
    bool failed = PQpipelineSync(conn_) != 1;
    if (failed) detail = firstLine(PQerrorMessage(conn_));
    // Every answer up to the sync point; the first failure is the one to tell.
    for (int empty = 0, place = 0;; ++place) {
        PGresult* r = PQgetResult(conn_);
        if (!r) {
            --place;
            if (PQstatus(conn_) == CONNECTION_BAD || ++empty > 2) break;
            continue;
        }
        empty = 0;
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        if (status == PGRES_COMMAND_OK) {
            const char* affected = PQcmdTuples(r);
            if (affected && *affected) changes_ = std::atoi(affected);
            for (; nextExpected != expected.end() && nextExpected->place <= place; ++nextExpected)
                if (nextExpected->place == place && changes_ != nextExpected->rows && !failed) {
                    failed = true;
                    ourFailure = nextExpected->failure;
                }
        } else if (status != PGRES_PIPELINE_ABORTED && !failed) {
            failed = true;
            const char* code = PQresultErrorField(r, PG_DIAG_SQLSTATE);
            state = code ? code : "";
            detail = firstLine(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY));
        }
        PQclear(r);
    }
    PQexitPipelineMode(conn_);
    // A connection lost before every answer came is a failure of the writes too.
    if (!failed && PQstatus(conn_) == CONNECTION_BAD) failed = true;
    if (!failed) return;
    if (!ourFailure.empty()) throw Error(ourFailure);
    if (detail.empty()) detail = firstLine(PQerrorMessage(conn_));
    raise(conn_, state, detail);
}

void PgDatabase::exec(const std::string& sql) {
    settle();
    PGresult* r = check(PQexec(conn_, sql.c_str()), sql);
    const char* affected = PQcmdTuples(r);
    if (affected && *affected) changes_ = std::atoi(affected);
    PQclear(r);
}

void PgDatabase::attach(const std::filesystem::path&, const std::string& schema, OpenMode) {
    if (!databaseExists({}, schema))
        throw Error("Attenzione ... Sul server " + where_ + " manca lo schema \"" + schema +
                        "\": eseguire prima \"controllo-listino server init\".",
                    ErrorKind::NotFound);
    attached_.insert(schema);
}

void PgDatabase::detach(const std::string& schema) {
    attached_.erase(schema);
}

bool PgDatabase::isAttached(const std::string& schema) {
    return attached_.count(schema) > 0;
}

bool PgDatabase::databaseExists(const std::filesystem::path&, const std::string& schema) {
    auto st = prepare("SELECT 1 FROM pg_namespace WHERE nspname = ?");
    st.bind(1, Value(schema));
    return st.step();
}

bool PgDatabase::tableExists(const std::string& table, const std::string& schema) {
    auto st = prepare(
        "SELECT 1 FROM information_schema.tables WHERE table_schema = ? AND "
        "lower(table_name) = lower(?)");
    st.bindAll(schema, table);
    return st.step();
}

std::vector<std::string> PgDatabase::columns(const std::string& table, const std::string& schema) {
    std::vector<std::string> out;
    auto st = prepare(
        "SELECT column_name FROM information_schema.columns WHERE table_schema = ? AND "
        "table_name = ? AND column_name <> 'rowid' ORDER BY ordinal_position");
    st.bindAll(schema, table);
    while (st.step()) out.push_back(st.value(0).text());
    return out;
}

std::string PgDatabase::declaredType(const std::string& table, const std::string& column,
                                     const std::string& schema) {
    auto st = prepare(
        "SELECT format_type(a.atttypid, a.atttypmod), co.collname FROM pg_attribute a "
        "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
        "LEFT JOIN pg_collation co ON co.oid = a.attcollation "
        "WHERE n.nspname = ? AND c.relname = ? AND a.attname = ? AND NOT a.attisdropped");
    st.bindAll(schema, table, column);
    if (!st.step()) return {};
    std::string type = st.value(0).text();
    const std::string collation = st.value(1).text();
    // A text column keeps its comparison rules in the copy.
    if (!collation.empty() && collation != "default") type += " COLLATE " + quoteName(collation);
    return type;
}

int PgDatabase::userVersion(const std::string& schema) {
    auto st = prepare(
        "SELECT obj_description(oid, 'pg_namespace') AS v FROM pg_namespace WHERE nspname = ?");
    st.bind(1, Value(schema));
    return st.step() ? std::atoi(st.text("v").c_str()) : 0;
}

void PgDatabase::setUserVersion(int version, const std::string& schema) {
    exec("COMMENT ON SCHEMA " + quoteName(schema) + " IS '" + std::to_string(version) + "'");
}

long long PgDatabase::lastInsertId() const {
    settle();
    PGresult* r = PQexec(conn_, "SELECT lastval()");
    long long id = 0;
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
        id = std::strtoll(PQgetvalue(r, 0, 0), nullptr, 10);
    PQclear(r);
    return id;
}

std::string PgDatabase::textEqualsIgnoringCase(const std::string& left,
                                               const std::string& right) const {
    // ASCII letters only, as the store's case-insensitive columns compare.
    return "lower((" + left + ")::text COLLATE \"C\") = lower((" + right + ")::text COLLATE \"C\")";
}

namespace {
// Unicode case folding as the file engine's search does it (ICU's full folding), near enough
// with the server's own functions: lower() alone keeps "ß" and ligatures, which the folding
// spells out ("ss", "fi"); upper() spells them out, and lowering first brings the capital "ẞ"
// (which upper() keeps) to "ß".
std::string folded(const std::string& expression) {
    return "lower(upper(lower((" + expression + ")::text COLLATE \"und-x-icu\")))";
}
}  // namespace

std::string PgDatabase::foldedLike(const std::string& expression) const {
    return folded(expression) + " LIKE " + folded("?") + " ESCAPE '\\'";
}

std::string PgDatabase::columnType(FieldType type) const {
    switch (type) {
        case FieldType::Text:
        case FieldType::FixedText:
            // ASCII letters folded, everything else by code: the order of the file engine.
            return "citext COLLATE \"C\"";
        case FieldType::Date:
            return "date";
        case FieldType::Whole:
            return "bigint";
        case FieldType::Money:
            return "numeric(19,4)";
        case FieldType::Decimal:
            return "double precision";
    }
    return "text";
}

std::string PgDatabase::rowIdentityColumn() const {
    return "rowid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, ";
}

// Every part of one statement sees the tables as they were before it: the copy after and the
// change row read the written row from what the write returns.
std::string PgDatabase::chainedWriteSql(const ChainedWrite& parts) const {
    std::string sql = "WITH ";
    if (!parts.before.empty()) sql += "copied AS (" + parts.before + "), ";
    sql += "written AS (" + parts.write + " RETURNING *), after_copy AS (" + parts.after +
           " FROM written) " + parts.change + " FROM written";
    chained_.insert(sql);
    return sql;
}

// Half of each page stays free, so that the new version of a row goes beside the old one and
// the indexes whose columns did not change are not written again (a heap-only update).
std::string PgDatabase::tableOptions(bool rewrittenByUpdates) const {
    return rewrittenByUpdates ? " WITH (fillfactor = 50)" : "";
}

std::string PgDatabase::autoKeyColumn() const {
    return "bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
}

std::string PgDatabase::createIndexSql(const std::string& schema, const std::string& name,
                                       const std::string& table,
                                       const std::vector<std::string>& fields, bool unique) const {
    std::string sql = std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " +
                      quoteName(name) + " ON " + quoteName(schema) + "." + quoteName(table) + " (";
    for (size_t i = 0; i < fields.size(); ++i) sql += (i ? ", " : "") + quoteName(fields[i]);
    return sql + ")";
}

void PgDatabase::prepareLayout() {
    // The case-insensitive text type folds letters by the database's character rules: only
    // the "C" rules fold ASCII letters alone, as the store's files compare them.
    auto st = prepare(
        "SELECT datctype AS ctype, pg_encoding_to_char(encoding) AS enc FROM pg_database "
        "WHERE datname = current_database()");
    st.step();
    std::string ctype = st.text("ctype"), encoding = st.text("enc");
    st.reset();
    if ((ctype != "C" && ctype != "POSIX") || encoding != "UTF8")
        throw Error("Attenzione ... Il database " + where_ + " è stato creato con LC_CTYPE '" +
                        ctype + "' e codifica " + encoding +
                        ": i testi non si confronterebbero come nei file del negozio. Crearlo "
                        "con: CREATE DATABASE nome TEMPLATE template0 ENCODING 'UTF8' "
                        "LC_COLLATE 'C' LC_CTYPE 'C';",
                    ErrorKind::InvalidInput);
    exec("CREATE EXTENSION IF NOT EXISTS citext SCHEMA public");
}

void PgDatabase::keysTaken(const std::string& table, const std::string& schema) {
    std::vector<std::string> keys;
    {
        auto st = prepare(
            "SELECT column_name FROM information_schema.columns WHERE table_schema = ? AND "
            "table_name = ? AND is_identity = 'YES'");
        st.bindAll(schema, table);
        while (st.step()) keys.push_back(st.value(0).text());
    }
    const std::string qualified = quoteName(schema) + "." + quoteName(table);
    for (const auto& key : keys) {
        auto st = prepare("SELECT setval(pg_get_serial_sequence(?, ?), coalesce(max(" +
                          quoteName(key) + "), 0) + 1, false) FROM " + qualified);
        st.bindAll(qualified, key);
        st.step();
    }
}

bool PgDatabase::inTransaction() const {
    auto s = PQtransactionStatus(conn_);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

void PgDatabase::begin() {
    exec("BEGIN");
    try {
        exec("SELECT pg_advisory_xact_lock(" + std::to_string(kWriterLock) + ")");
    } catch (...) {
        rollback();
        throw;
    }
    writing_ = true;
}

void PgDatabase::commit() {
    // A failure among the writes sent without waiting surfaces here at the latest.
    settle();
    writing_ = false;
    statements().rewindAll();
    // The server answers COMMIT of a transaction that failed with a quiet ROLLBACK.
    if (PQtransactionStatus(conn_) == PQTRANS_INERROR) {
        rollback();
        throw Error("Errore del database: la transazione era fallita ed è stata annullata.");
    }
    exec("COMMIT");
}

void PgDatabase::rollback() noexcept {
    writing_ = false;
    try {
        settle();
    } catch (...) {
        // Whatever failed is undone below.
    }
    statements().rewindAll();
    PQclear(PQexec(conn_, "ROLLBACK"));
}

}  // namespace cl::store
