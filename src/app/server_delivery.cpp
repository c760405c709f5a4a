#include "app/server_delivery.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>

#include "app/access_files.h"
#include "app/session.h"
#include "store/access_import.h"
#include "store/error.h"
#include "store/identifier.h"

namespace cl {

namespace {

bool sameLetters(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The source's columns that the target table has too, in the source's order.
std::vector<std::string> sharedColumns(const std::vector<std::string>& from,
                                       const std::vector<std::string>& to) {
    std::vector<std::string> out;
    for (const auto& c : from)
        if (std::any_of(to.begin(), to.end(), [&](const auto& t) { return sameLetters(c, t); }))
            out.push_back(c);
    return out;
}

std::string qualified(const std::string& schema, const std::string& table) {
    return store::quoteName(schema) + "." + store::quoteName(table);
}

// One INSERT of `rows` rows: both engines take well over 30 000 bound values a statement.
std::string insertSql(const std::string& target, const std::vector<std::string>& columns,
                      size_t rows) {
    std::string names, marks;
    for (const auto& c : columns) {
        names += (names.empty() ? "" : ", ") + store::quoteName(c);
        marks += marks.empty() ? "?" : ", ?";
    }
    std::string sql = "INSERT INTO " + target + " (" + names + ") VALUES ";
    for (size_t r = 0; r < rows; ++r) sql += (r ? ", (" : "(") + marks + ")";
    return sql;
}

void insertBatch(store::Database& to, const std::string& target,
                 const std::vector<std::string>& columns, std::vector<store::Value>& values) {
    if (values.empty()) return;
    auto st = to.prepare(insertSql(target, columns, values.size() / columns.size()));
    st.bindAll(values);
    st.run();
    values.clear();
}

long long countOf(store::Database& db, const std::string& schema, const std::string& table) {
    auto st = db.prepare("SELECT count(*) FROM " + qualified(schema, table));
    st.step();
    return st.value(0).integer();
}

std::filesystem::path scratchFile() {
    static std::atomic<int> serial{0};
    return std::filesystem::temp_directory_path() /
           ("controllo-listino-fornitura-" + std::to_string(getpid()) + "-" +
            std::to_string(++serial) + ".sqlite");
}

struct RemovedAtExit {
    std::filesystem::path file;
    ~RemovedAtExit() {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }
};

}  // namespace

long long copyRows(store::Database& from, const std::string& fromSchema, store::Database& to,
                   const std::string& toSchema, const std::string& table) {
    auto columns = sharedColumns(from.columns(table, fromSchema), to.columns(table, toSchema));
    if (columns.empty()) return 0;
    std::string names;
    for (const auto& c : columns) names += (names.empty() ? "" : ", ") + store::quoteName(c);
    auto read = from.prepare("SELECT " + names + " FROM " + qualified(fromSchema, table) +
                             " ORDER BY " + from.rowIdentity());
    const size_t perBatch = std::clamp<size_t>(30000 / columns.size(), 1, 500);
    const std::string target = qualified(toSchema, table);
    std::vector<store::Value> values;
    long long rows = 0;
    while (read.step()) {
        for (size_t i = 0; i < columns.size(); ++i)
            values.push_back(read.value(static_cast<int>(i)));
        if (++rows % static_cast<long long>(perBatch) == 0)
            insertBatch(to, target, columns, values);
    }
    insertBatch(to, target, columns, values);
    return rows;
}

void replaceSchemaRows(store::Database& server, const std::string& schema, store::DatabaseKind kind,
                       const std::filesystem::path& converted) {
    auto source = store::openDatabase(converted, store::OpenMode::ReadOnly);
    for (const auto& table : store::schemaOf(kind)) {
        server.exec("DELETE FROM " + qualified(schema, table.name));
        long long copied = copyRows(*source, "main", server, schema, table.name);
        if (countOf(server, schema, table.name) != copied)
            throw Error("Attenzione ... La tabella " + table.name + " del " +
                            store::describe(kind) +
                            " non è stata copiata per intero sul server: nessuna modifica è "
                            "stata fatta.",
                        ErrorKind::Corrupt);
    }
}

std::string serverSchemaOf(store::DatabaseKind kind) {
    switch (kind) {
        case store::DatabaseKind::FixedArticles:
            return kFixedSchema;
        case store::DatabaseKind::Suite:
            return store::kServerSuiteSchema;
        case store::DatabaseKind::Store:
            break;
    }
    return store::kServerStoreSchema;
}

store::ImportReport loadIntoServer(const std::string& conninfo, const std::filesystem::path& file,
                                   const store::ImportOptions& options, Progress* progress,
                                   const std::function<bool()>& beforeCommit) {
    RemovedAtExit scratch{scratchFile()};
    if (progress) progress->showBar(true);
    store::ImportReport report;
    try {
        report = store::importAccess(file, scratch.file, options);
    } catch (...) {
        if (progress) progress->showBar(false);
        throw;
    }
    if (progress) progress->showBar(false);
    if (!report.kind)
        throw Error("Attenzione ... Il file " + options.shownName +
                        " non è un database del programma: sul server non c'è dove metterlo. "
                        "Per convertirlo in un file indicare --to PERCORSO.",
                    ErrorKind::InvalidInput);
    const std::string schema = serverSchemaOf(*report.kind);
    auto server = store::openServer(conninfo, schema);
    store::Transaction tx(*server);
    replaceSchemaRows(*server, schema, *report.kind, scratch.file);
    if (beforeCommit && !beforeCommit()) return report;
    tx.commit();
    return report;
}

bool deliverToServer(const std::string& conninfo, const std::filesystem::path& file,
                     const std::string& shownName, Messages* messages, Progress* progress) {
    if (store::fileKind(file) != store::FileKind::Access) return false;
    const auto kind = store::DatabaseKind::FixedArticles;
    const auto kept = store::keptOriginal(file);
    bool moved = false;
    // The original steps aside last inside the transaction, and comes back if the commit fails:
    // the delivery is taken once, and never lost. Another workstation may have taken it
    // meanwhile: its rows stand.
    auto takeOriginal = [&] {
        if (store::fileKind(file) != store::FileKind::Access) return false;
        std::error_code ec;
        std::filesystem::rename(file, kept, ec);
        if (ec)
            throw Error("Attenzione ... Impossibile conservare l'originale come " + kept.string() +
                        ": " + ec.message() + ". Nulla è stato cambiato.");
        moved = true;
        return true;
    };
    store::ImportReport report;
    try {
        report = loadIntoServer(conninfo, file, conversionOptions(shownName, kind, progress),
                                progress, takeOriginal);
    } catch (...) {
        std::error_code ec;
        if (moved) std::filesystem::rename(kept, file, ec);
        throw;
    }
    if (messages && moved)
        messages->show("Nuova fornitura del " + store::describe(kind) + ". " +
                           conversionSummary(shownName, file, report),
                       Icon::Information);
    return true;
}

}  // namespace cl
