#include "parity_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "app/server_delivery.h"
#include "cli/cli.h"
#include "demo/demo_store.h"
#include "history/journal.h"
#include "store/identifier.h"
#include "support/temp_store.h"
#include "support/test_engine.h"

namespace cl::test {

namespace {

using Row = std::vector<store::Value>;

demo::DemoOptions demoOptions() {
    demo::DemoOptions o;
    o.articles = 400;
    o.seed = 7;
    o.changedShare = 25;
    return o;
}

struct PartFile {
    const char* schema;
    store::DatabaseKind kind;
};
const PartFile kCopied[] = {{store::kServerStoreSchema, store::DatabaseKind::Store},
                            {kFixedSchema, store::DatabaseKind::FixedArticles},
                            {store::kServerSuiteSchema, store::DatabaseKind::Suite}};

std::filesystem::path fileOf(const Session& s, const std::string& part) {
    if (part == kFixedSchema) return s.host(s.state.nomedb_fisso);
    if (part == store::kServerSuiteSchema) return s.host(s.state.nomedb_suite);
    if (part == history::kHistorySchema) return history::historyFileFor(s.host(s.state.nomedb));
    return s.host(s.state.nomedb);
}

long long single(store::Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    st.step();
    return st.value(0).integer();
}

// The demo's files into the server's schemas, rows in their order. The files were written
// without deletions, so their rows are numbered 1..n as the server numbers them.
void copyDemoToServer(const Session& files, const std::string& conninfo) {
    for (const auto& part : kCopied) {
        auto source = store::openDatabase(fileOf(files, part.schema), store::OpenMode::ReadOnly);
        auto server = store::openServer(conninfo, part.schema);
        store::Transaction tx(*server);
        for (const auto& table : store::schemaOf(part.kind)) {
            const std::string name = store::quoteName(table.name);
            ASSERT_EQ(single(*source, "SELECT coalesce(max(rowid), 0) FROM " + name),
                      single(*source, "SELECT count(*) FROM " + name))
                << table.name;
            copyRows(*source, "main", *server, part.schema, table.name);
        }
        tx.commit();
    }
}

std::vector<std::string> tablesOf(store::Database& db, const std::string& schema) {
    std::vector<std::string> out;
    // A journal file on its own holds its tables under the file's main schema.
    auto st = db.onServer() ? db.prepare(
                                  "SELECT table_name FROM information_schema.tables WHERE "
                                  "table_schema = ? ORDER BY table_name")
                            : db.prepare(
                                  "SELECT name FROM sqlite_master WHERE type = 'table' AND name "
                                  "NOT LIKE 'sqlite%' ORDER BY name");
    if (db.onServer()) st.bindAll(schema);
    while (st.step()) out.push_back(st.value(0).text());
    return out;
}

bool hasRowIdentity(store::Database& server, const std::string& schema, const std::string& table) {
    auto st = server.prepare(
        "SELECT count(*) FROM information_schema.columns WHERE table_schema = ? AND "
        "table_name = ? AND column_name = 'rowid'");
    st.bindAll(schema, table);
    st.step();
    return st.value(0).integer() > 0;
}

// Whether `text` holds, from `at`, characters of the form (9 for a digit, others as they are).
// No std::regex: GCC 12 warns inside <regex> under the sanitizer build.
bool shaped(const std::string& text, size_t at, const std::string& form) {
    if (at + form.size() > text.size()) return false;
    for (size_t i = 0; i < form.size(); ++i) {
        char c = text[at + i];
        bool ok = form[i] == '9'   ? std::isdigit(static_cast<unsigned char>(c)) != 0
                  : form[i] == 'T' ? (c == 'T' || c == ' ')
                                   : c == form[i];
        if (!ok) return false;
    }
    return true;
}

bool isTimeOfDay(const store::Value& v) {
    return v.isText() && shaped(v.text(), 0, "9999-99-99T99:99");
}

std::string shown(const store::Value& v) {
    if (v.isNull()) return "NULL";
    if (v.isText()) return "'" + v.text() + "'";
    return v.text();
}

bool sameValue(const store::Value& a, const store::Value& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (isTimeOfDay(a) && isTimeOfDay(b)) return true;
    if (a.isNumber() && b.isNumber())
        return std::llround(a.number() * 10000) == std::llround(b.number() * 10000);
    return a.text() == b.text();
}

std::vector<Row> rowsOf(store::Database& db, const std::string& schema, const std::string& table,
                        const std::vector<std::string>& columns, bool byIdentity) {
    std::string select;
    for (const auto& c : columns) select += (select.empty() ? "" : ", ") + store::quoteName(c);
    std::string from = db.onServer() ? store::quoteName(schema) + "." + store::quoteName(table)
                                     : store::quoteName(table);
    auto st = db.prepare("SELECT " + select + " FROM " + from +
                         (byIdentity ? " ORDER BY " + db.rowIdentity() : ""));
    std::vector<Row> rows;
    while (st.step()) {
        Row row;
        for (int i = 0; i < st.columnCount(); ++i) row.push_back(st.value(i));
        rows.push_back(std::move(row));
    }
    if (!byIdentity) {
        // Rows without an identity of their own: compared as sets, in one order for both.
        auto key = [](const Row& r) {
            std::string k;
            for (const auto& v : r) k += (isTimeOfDay(v) ? std::string("T") : shown(v)) + "\x1f";
            return k;
        };
        std::sort(rows.begin(), rows.end(),
                  [&](const Row& x, const Row& y) { return key(x) < key(y); });
    }
    return rows;
}

void compareTable(store::Database* files, store::Database& server, const std::string& schema,
                  const std::string& table, std::vector<std::string>& out) {
    const std::string where = schema + "." + table;
    const auto serverColumns = server.columns(table, schema);
    const bool byIdentity = hasRowIdentity(server, schema, table);
    std::vector<Row> a, b = rowsOf(server, schema, table, serverColumns, byIdentity);
    if (files && files->tableExists(table)) {
        auto fileColumns = files->columns(table);
        auto sortedA = fileColumns, sortedB = serverColumns;
        std::sort(sortedA.begin(), sortedA.end());
        std::sort(sortedB.begin(), sortedB.end());
        if (sortedA != sortedB) {
            out.push_back(where + ": colonne diverse");
            return;
        }
        a = rowsOf(*files, schema, table, serverColumns, byIdentity);
    }
    if (a.size() != b.size()) {
        out.push_back(where + ": " + std::to_string(a.size()) + " righe sui file, " +
                      std::to_string(b.size()) + " sul server");
        return;
    }
    int told = 0;
    for (size_t r = 0; r < a.size() && told < 5; ++r)
        for (size_t c = 0; c < serverColumns.size() && told < 5; ++c)
            if (!sameValue(a[r][c], b[r][c])) {
                out.push_back(where + " riga " + std::to_string(r + 1) + ", " + serverColumns[c] +
                              ": " + shown(a[r][c]) + " sui file, " + shown(b[r][c]) +
                              " sul server");
                ++told;
            }
}

}  // namespace

Installation::Installation(bool onServer) : session(dir.path, 'C') {
    RecordingProgress progress;
    demo::createDemo(session, demoOptions(), false, progress);
    RecordingMessages messages;
    if (!session.settoDb(messages)) throw std::runtime_error("demo store not located");
    if (!onServer) return;
    const std::string conninfo = freshServerStore();
    copyDemoToServer(session, conninfo);
    for (const char* part : {"main", "fisso", "suite"})
        std::filesystem::remove(fileOf(session, part));
    session.server = conninfo;
    if (!session.settoDb(messages)) throw std::runtime_error("server store not located");
}

CommandResult Installation::run(const std::vector<std::string>& words) {
    const auto& commands = cli::registry();
    auto it = commands.find(words.at(0));
    if (it == commands.end()) throw std::runtime_error("no command " + words[0]);
    cli::CliMessages messages(true);
    cli::CliProgress accessProgress;
    session.accessMessages = &messages;
    session.accessProgress = &accessProgress;
    CommandResult r;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    try {
        cli::Args args({words.begin() + 1, words.end()}, it->second.valueOptions,
                       it->second.flagOptions);
        cli::Context ctx{session, messages, true};
        r.exitCode = it->second.run(ctx, args);
    } catch (const cli::UsageError& e) {
        std::cerr << e.message << "\n";
        r.exitCode = cli::kUsage;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        r.exitCode = cli::kFailed;
    }
    r.out = ::testing::internal::GetCapturedStdout();
    r.err = ::testing::internal::GetCapturedStderr();
    session.accessMessages = nullptr;
    session.accessProgress = nullptr;
    return r;
}

std::unique_ptr<store::Database> Installation::open(const std::string& part) {
    if (onServer()) return store::openServer(session.server, part, store::OpenMode::ReadOnly);
    auto file = fileOf(session, part);
    if (!std::filesystem::exists(file)) return nullptr;
    return store::openDatabase(file, store::OpenMode::ReadOnly);
}

std::vector<std::string> installationDifferences(Installation& files, Installation& server) {
    std::vector<std::string> out;
    for (const char* part : {"main", "fisso", "suite", "storia"}) {
        auto a = files.open(part);
        auto b = server.open(part);
        std::set<std::string> tables;
        for (const auto& t : tablesOf(*b, part)) tables.insert(t);
        if (a)
            for (const auto& t : tablesOf(*a, part))
                if (!tables.count(t))
                    out.push_back(std::string(part) + "." + t + ": solo sui file");
        for (const auto& t : tables) compareTable(a.get(), *b, part, t, out);
    }
    return out;
}

std::string comparable(const std::string& text, const Installation& where) {
    std::string out = text;
    const std::string root = where.dir.path.string();
    for (size_t at = out.find(root); at != std::string::npos; at = out.find(root, at))
        out.replace(at, root.size(), "RADICE");
    for (size_t at = 0; at < out.size(); ++at)
        if (shaped(out, at, "99:99:99")) out.replace(at, 8, "hh:mm:ss");
    return out;
}

}  // namespace cl::test
