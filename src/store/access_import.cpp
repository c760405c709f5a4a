#include "store/access_import.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "store/csv_records.h"
#include "store/database.h"
#include "store/error.h"
#include "store/identifier.h"
#include "store/mdb_schema.h"
#include "store/sqlite_database.h"
#include "store/tool_process.h"

namespace cl::store {

namespace {

ToolRunner toolsFor(const ImportOptions& o) {
    // UTF-8 out whatever the user's locale; numbers with a decimal point.
    return ToolRunner(o.toolDir, {{"MDBICONV", "UTF-8"}, {"LC_ALL", "C.UTF-8"}});
}

std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    return line.size() > 200 ? line.substr(0, 200) + "..." : line;
}

void checkTool(const ToolResult& r, const std::string& what, const std::string& shown) {
    if (r.ok()) return;
    std::string detail = !r.errors.empty() ? firstLine(r.errors)
                         : r.signal        ? "interrotto dal segnale " + std::to_string(r.signal)
                                           : "codice di uscita " + std::to_string(r.exitCode);
    throw Error("Attenzione ... Lettura del file Access " + shown + " non riuscita (" + what +
                ": " + detail +
                "). Il file è forse danneggiato o incompleto; nulla è stato "
                "cambiato.");
}

// A Jet 3 file is made of 2 KiB pages, Jet 4 and ACE of 4 KiB: a file cut short shows at once.
void checkSource(const std::filesystem::path& source, const std::string& shown) {
    auto kind = fileKind(source);
    if (kind == FileKind::Missing) throw Error("Attenzione ... File " + shown + "  non esiste ");
    if (kind == FileKind::Special)
        throw Error("Attenzione ... " + shown +
                    " non è un file normale (è una FIFO, un socket o un dispositivo): nulla da "
                    "convertire.");
    if (kind != FileKind::Access)
        throw Error(
            "Attenzione ... Il file " + shown + " non è un database Access: " +
            (kind == FileKind::SQLite ? "è già un database SQLite." : "nulla da convertire."));
    std::ifstream in(source, std::ios::binary);
    char head[0x15] = {};
    in.read(head, sizeof head);
    auto page = head[0x14] == 0 ? 2048u : 4096u;
    auto size = std::filesystem::file_size(source);
    if (size < 2 * page || size % page != 0)
        throw Error("Attenzione ... Il file Access " + shown +
                    " è incompleto (troncato): nulla è stato cambiato.");
}

// The file as mdbtools must receive it: a name beginning with "-" would be read as an option
// (mdbtools takes no "--"), so a relative one is given as "./-name".
std::string fileArgument(const std::filesystem::path& file) {
    const std::string s = file.string();
    return !s.empty() && s.front() == '-' ? "./" + s : s;
}

// A table is passed to mdbtools as a plain argument, where a leading "-" makes it an option.
void checkTableName(const std::string& table, const std::string& shown) {
    if (!table.empty() && table.front() == '-')
        throw Error("Attenzione ... La tabella \"" + table + "\" del file Access " + shown +
                    " ha un nome che inizia con \"-\" e non si può leggere: nulla è stato "
                    "cambiato.");
}

std::vector<std::string> listTables(const ToolRunner& tools, const std::string& source,
                                    const std::string& shown) {
    ToolResult r;
    std::istringstream out(tools.capture("mdb-tables", {"-1", source}, r));
    checkTool(r, "mdb-tables", shown);
    std::vector<std::string> names;
    std::string line;
    while (std::getline(out, line)) {
        if (line.empty() || line.find_first_not_of(' ') == std::string::npos || line.front() == ' ')
            throw Error("Attenzione ... Elenco delle tabelle del file Access " + shown +
                        " illeggibile: il file è forse danneggiato; nulla è stato cambiato.");
        checkTableName(line, shown);
        names.push_back(line);
    }
    return names;
}

long long countRows(const ToolRunner& tools, const std::string& source, const std::string& table,
                    const std::string& shown) {
    ToolResult r;
    std::string out = tools.capture("mdb-count", {source, table}, r);
    checkTool(r, "mdb-count " + table, shown);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    long long n = -1;
    auto res = std::from_chars(out.data(), out.data() + out.size(), n);
    if (res.ec != std::errc() || res.ptr != out.data() + out.size() || n < 0)
        throw Error("Attenzione ... Numero di righe della tabella \"" + table + "\" del file " +
                    shown + " illeggibile.");
    return n;
}

// One prepared INSERT through the engine directly: binaries need blob bindings.
class RowInserter {
  public:
    RowInserter(SqliteDatabase& db, const AccessTable& table) : db_(db), table_(table) {
        std::string sql = "INSERT INTO " + quoteName(table.name) + " VALUES (";
        for (size_t i = 0; i < table.columns.size(); ++i) sql += i ? ",?" : "?";
        sql += ")";
        if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
            db.fail(sqlite3_errcode(db.handle()), sqlite3_errmsg(db.handle()));
    }
    ~RowInserter() { sqlite3_finalize(stmt_); }
    RowInserter(const RowInserter&) = delete;
    RowInserter& operator=(const RowInserter&) = delete;

    void insert(const std::vector<CsvField>& fields) {
        if (fields.size() != table_.columns.size())
            throw Error("Attenzione ... Tabella \"" + table_.name + "\": una riga esportata ha " +
                        std::to_string(fields.size()) + " campi invece di " +
                        std::to_string(table_.columns.size()) + ". Conversione annullata.");
        sqlite3_reset(stmt_);
        for (size_t i = 0; i < fields.size(); ++i)
            bind(static_cast<int>(i) + 1, storedValue(table_.columns[i].type, fields[i]));
        if (sqlite3_step(stmt_) != SQLITE_DONE)
            db_.fail(sqlite3_errcode(db_.handle()), sqlite3_errmsg(db_.handle()));
    }

  private:
    void bind(int at, const StoredValue& v) {
        using K = StoredValue::Kind;
        switch (v.kind) {
            case K::Null:
                sqlite3_bind_null(stmt_, at);
                break;
            case K::Integer:
                sqlite3_bind_int64(stmt_, at, v.integer);
                break;
            case K::Real:
                sqlite3_bind_double(stmt_, at, v.real);
                break;
            case K::Text:
                sqlite3_bind_text(stmt_, at, v.text.data(), static_cast<int>(v.text.size()),
                                  SQLITE_TRANSIENT);
                break;
            case K::Blob:
                sqlite3_bind_blob(stmt_, at, v.text.data(), static_cast<int>(v.text.size()),
                                  SQLITE_TRANSIENT);
                break;
        }
    }
    SqliteDatabase& db_;
    const AccessTable& table_;
    sqlite3_stmt* stmt_ = nullptr;
};

struct Source {
    std::string file;  // as mdbtools receives it
    std::string shown;
    std::vector<AccessTable> tables;
    std::vector<AccessIndex> indexes;
    std::vector<AutoNumber> autoNumbers;
    std::vector<long long> counts;
    long long total = 0;
};

Source readSource(const ToolRunner& tools, const std::filesystem::path& file,
                  const std::string& shown) {
    Source src{fileArgument(file), shown, {}, {}, {}, {}, 0};
    auto names = listTables(tools, src.file, shown);
    if (names.empty())
        throw Error("Attenzione ... Il file Access " + shown +
                    " non contiene tabelle: nulla da convertire.");
    ToolResult r;
    auto described = parseAccessSchema(
        tools.capture("mdb-schema",
                      {"--no-drop-table", "--no-not-null", "--default-values", "--no-comments",
                       "--no-indexes", "--no-relations", src.file, "access"},
                      r));
    checkTool(r, "mdb-schema", shown);
    for (const auto& name : names) {
        auto t = std::find_if(described.begin(), described.end(),
                              [&](const AccessTable& d) { return d.name == name; });
        if (t == described.end() || t->columns.empty())
            throw Error("Attenzione ... Struttura della tabella \"" + name + "\" del file " +
                        shown + " illeggibile: nulla è stato cambiato.");
        src.tables.push_back(*t);
        src.counts.push_back(countRows(tools, src.file, name, shown));
        src.total += src.counts.back();
    }
    src.indexes = parseIndexStatements(
        tools.capture("mdb-schema",
                      {"--no-drop-table", "--no-not-null", "--no-default-values", "--no-comments",
                       "--indexes", "--no-relations", src.file, "oracle"},
                      r));
    checkTool(r, "mdb-schema --indexes", shown);
    for (auto& a : parseAutoNumbers(
             tools.capture("mdb-schema",
                           {"--no-drop-table", "--no-not-null", "--no-default-values",
                            "--no-comments", "--no-indexes", "--no-relations", src.file, "mysql"},
                           r))) {
        auto t = std::find_if(src.tables.begin(), src.tables.end(),
                              [&](const AccessTable& d) { return d.name == a.table; });
        if (t != src.tables.end() && t->column(a.column)) src.autoNumbers.push_back(a);
    }
    checkTool(r, "mdb-schema mysql", shown);
    return src;
}

void copyTable(const ToolRunner& tools, SqliteDatabase& db, const Source& src, size_t t,
               long long& done, const ImportOptions& options) {
    const auto& table = src.tables[t];
    db.exec(createTableSql(table));
    RowInserter inserter(db, table);
    long long rows = 0;
    auto tick = [&] {
        if (options.progress) options.progress(table.name, done + rows, src.total);
    };
    tick();
    CsvRecords csv([&](std::vector<CsvField>& fields) {
        inserter.insert(fields);
        if (++rows % 500 == 0) tick();
    });
    auto r = tools.run(
        "mdb-export",
        {"-H", "-D", kExportDateFormat, "-T", kExportDateFormat, "-b", "hex", src.file, table.name},
        [&](std::string_view chunk) { csv.feed(chunk); });
    checkTool(r, "mdb-export " + table.name, src.shown);
    csv.finish();
    auto count = db.prepare("SELECT count(*) FROM " + quoteName(table.name));
    count.step();
    long long stored = count.value(0).integer();
    count.reset();
    if (rows != src.counts[t] || stored != src.counts[t])
        throw Error("Attenzione ... Tabella \"" + table.name + "\" del file " + src.shown +
                    ": il file dichiara " + std::to_string(src.counts[t]) +
                    " righe, ne sono state lette " + std::to_string(rows) + " e scritte " +
                    std::to_string(stored) + ". Conversione annullata; nulla è stato cambiato.");
    done += rows;
    tick();
}

void createIndexes(SqliteDatabase& db, const Source& src, ImportReport& report) {
    for (const auto& p : planIndexes(src.tables, src.indexes, report.kind, report.notes)) {
        try {
            db.exec(createIndexSql(p, p.unique));
        } catch (const Error&) {
            if (!p.unique || !p.required) throw;
            // The program wants the key unique, but the store's data repeat it: keep every row.
            db.exec(createIndexSql(p, false));
            report.notes.push_back("Indice \"" + p.name + "\" della tabella \"" + p.table +
                                   "\" creato non univoco: i dati contengono valori ripetuti.");
        }
    }
}

void noteColumns(const Source& src, ImportReport& report) {
    for (const auto& t : src.tables)
        for (const auto& c : t.columns) {
            if (c.type == AccessType::Unknown)
                report.notes.push_back("Campo \"" + c.name + "\" della tabella \"" + t.name +
                                       "\" (tipo " + c.typeText + ") copiato come testo.");
            if (!c.droppedDefault.empty())
                report.notes.push_back("Valore predefinito " + c.droppedDefault + " del campo \"" +
                                       c.name + "\" della tabella \"" + t.name +
                                       "\" non riportato.");
        }
}

void removeTemp(const std::filesystem::path& temp) {
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    std::filesystem::remove(temp.string() + "-journal", ec);
}

// Moves the finished file into place without ever replacing a file that appeared meanwhile.
void putInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    if (::link(temp.c_str(), target.c_str()) == 0) {
        removeTemp(temp);
        return;
    }
    if (errno == EEXIST)
        throw Error("Attenzione ... Il file " + target.string() +
                    " esiste già: non viene sovrascritto.");
    if (std::filesystem::exists(target))
        throw Error("Attenzione ... Il file " + target.string() +
                    " esiste già: non viene sovrascritto.");
    std::filesystem::rename(temp, target);
}

}  // namespace

long long ImportReport::rows() const {
    long long n = 0;
    for (const auto& t : tables) n += t.rows;
    return n;
}

ImportReport importAccess(const std::filesystem::path& source, const std::filesystem::path& target,
                          const ImportOptions& options) {
    const std::string shown = options.shownName.empty() ? source.string() : options.shownName;
    checkSource(source, shown);
    if (std::filesystem::exists(target))
        throw Error("Attenzione ... Il file " + target.string() +
                    " esiste già: non viene sovrascritto.");
    auto tools = toolsFor(options);
    Source src = readSource(tools, source, shown);

    ImportReport report;
    report.kind = options.kind ? options.kind : guessKind(src.tables);
    noteColumns(src, report);
    if (!target.parent_path().empty()) std::filesystem::create_directories(target.parent_path());
    auto temp = target.parent_path() /
                (target.filename().string() + ".import-" + std::to_string(::getpid()));
    removeTemp(temp);
    try {
        {
            SqliteDatabase db(temp, OpenMode::Create);
            Transaction tx(db);
            long long done = 0;
            for (size_t t = 0; t < src.tables.size(); ++t) {
                copyTable(tools, db, src, t, done, options);
                report.tables.push_back({src.tables[t].name, src.counts[t]});
            }
            createIndexes(db, src, report);
            for (const auto& a : src.autoNumbers) db.exec(autoNumberTriggerSql(a));
            tx.commit();
            if (options.validate && report.kind) validateSchema(db, *report.kind, "main", shown);
        }
        putInPlace(temp, target);
    } catch (...) {
        removeTemp(temp);
        throw;
    }
    return report;
}

std::filesystem::path keptOriginal(const std::filesystem::path& file) {
    return file.parent_path() / (file.filename().string() + ".access");
}

ImportReport replaceWithSqlite(const std::filesystem::path& file, const ImportOptions& options) {
    const std::string shown = options.shownName.empty() ? file.string() : options.shownName;
    auto converted = file.parent_path() /
                     (file.filename().string() + ".convertito-" + std::to_string(::getpid()));
    removeTemp(converted);
    ImportReport report = importAccess(file, converted, options);
    // Another workstation may have converted it in the meantime: its result stands.
    if (fileKind(file) != FileKind::Access) {
        removeTemp(converted);
        return report;
    }
    auto kept = keptOriginal(file);
    std::error_code ec;
    std::filesystem::rename(file, kept, ec);
    if (ec) {
        removeTemp(converted);
        throw Error("Attenzione ... Impossibile conservare l'originale come " + kept.string() +
                    ": " + ec.message() + ". Nulla è stato cambiato.");
    }
    std::filesystem::rename(converted, file, ec);
    if (ec) {
        std::error_code back;
        std::filesystem::rename(kept, file, back);
        removeTemp(converted);
        throw Error("Attenzione ... Impossibile mettere il database convertito al posto di " +
                    shown + ": " + ec.message() + ". Nulla è stato cambiato.");
    }
    return report;
}

}  // namespace cl::store
