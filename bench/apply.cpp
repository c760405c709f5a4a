// Speed of "Aggiorna": 100 000 review rows updating articles, and 10 000 rows creating new
// articles, on stores of 10 000 and 100 000 articles. The time per row on the larger store
// must stay within 1.3 times the smaller one.
// With --server: the same updates on the larger store as database files and on a local
// PostgreSQL server, both times and their ratio (the server within 3 times the files).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/clock.h"
#include "app/session.h"
#include "server_mode.h"
#include "store/database.h"
#include "store/schema.h"
#include "update/update_run.h"

using namespace cl;
namespace fs = std::filesystem;

namespace {

struct Quiet : Messages {
    void show(const std::string&, Icon, const std::string&) override {}
    Answer ask(const std::string&, const std::string&, Icon, Answer) override {
        return Answer::Yes;
    }
};

std::string ean(long long n) {
    std::string digits = std::to_string(n);
    return "80" + std::string(11 - digits.size(), '0') + digits;
}
std::string codafo(long long n) {
    std::string digits = std::to_string(n);
    return std::string(9 - digits.size(), '0') + digits;
}

void fillStore(store::Database& db, long long articles) {
    store::Transaction tx(db);
    auto a = db.prepare(
        "INSERT INTO listi01 (codart, desart, przpub, cofart, codafo, ivart, codfor) "
        "VALUES (?, ?, ?, ?, ?, '10', 12)");
    auto b = db.prepare(
        "INSERT INTO codean (eanare, codare, aggi, pezzix, prezzo) VALUES (?, ?, 'A', 1, ?)");
    auto l = db.prepare(
        "INSERT INTO listi02 (codlis, codafo, codart, desart, cobart) VALUES ('000012', ?, ?, ?, "
        "1.1)");
    for (long long i = 1; i <= articles; ++i) {
        std::string d = "ARTICOLO " + std::to_string(i);
        a.reset().bindAll(i, d, 2.5, 1.1, codafo(i) + "       ").run();
        b.reset().bindAll(ean(i), i, 2.5).run();
        l.reset().bindAll(codafo(i) + "       ", i, d).run();
    }
    tx.commit();
}

// Review rows: `updates` of existing articles (cycling over the store), then `creations` of
// products the store does not have.
void fillReview(store::Database& db, long long articles, long long updates, long long creations) {
    store::Transaction tx(db);
    db.exec("DELETE FROM variatil");
    auto v = db.prepare(
        "INSERT INTO variatil (bns, sel, codfor, codart, ea1art, desart, codafo, coston, ivart, "
        "prezpubv, rica, umart) VALUES (?, 'X', 12, ?, ?, ?, ?, 1.2, '10', 2.9, 20, 'PZ')");
    long long bns = 0;
    for (long long i = 0; i < updates; ++i) {
        long long code = i % articles + 1;
        v.reset()
            .bindAll(++bns, code, ean(code), "ARTICOLO " + std::to_string(code), codafo(code))
            .run();
    }
    for (long long i = 0; i < creations; ++i) {
        long long n = 5000000 + i;
        v.reset().bindAll(++bns, 0, ean(n), "NUOVO " + std::to_string(n), codafo(n)).run();
    }
    tx.commit();
}

// Processor time of the updates, beside the wall-clock time: the disk's sync waits vary.
double cpuSeconds = 0, lastCpu = 0;

double runUpdate(store::Database& db, const review::UpdateSettings& settings) {
    AppState state;
    state.codice_fornitore = 12;
    state.nome_fornitore = "ROSSI SPA";
    review::ReviewFilter filter;
    filter.supplier = 12;
    filter.selectedOnly = true;
    Quiet quiet;
    NullProgress progress;
    auto t0 = std::chrono::steady_clock::now();
    std::clock_t c0 = std::clock();
    review::applyUpdate(state, db, settings, filter, quiet, progress);
    lastCpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    cpuSeconds += lastCpu;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Figures {
    double updatePerRow, createPerRow;
};

// An empty store with its article database: files under `dir`, or, given a server, a new
// installation on it.
std::unique_ptr<store::Database> emptyStore(const fs::path& dir, bench::LocalServer* server) {
    if (server) {
        auto db = store::openServer(server->freshStore("aggiorna"), store::kServerStoreSchema);
        db->attach({}, kFixedSchema);
        return db;
    }
    fs::remove_all(dir);
    fs::create_directories(dir);
    store::createDatabase((dir / "DATI.MDB").string(), store::DatabaseKind::Store);
    store::createDatabase((dir / "fisso.MDB").string(), store::DatabaseKind::FixedArticles);
    auto db = store::openDatabase(dir / "DATI.MDB");
    db->attach(dir / "fisso.MDB", kFixedSchema);
    return db;
}

Figures measure(const fs::path& dir, long long articles, bench::LocalServer* server = nullptr) {
    auto dbConnection = emptyStore(dir, server);
    store::Database& db = *dbConnection;
    fillStore(db, articles);
    // The tables as the server's own autovacuum keeps them in use: vacuumed (the rows' commit
    // marks set once, not by the first run that reads them) and with the planner's figures.
    if (server) db.exec("VACUUM (ANALYZE)");

    review::UpdateSettings settings = review::settingsAfterReviewLoad(std::nullopt);
    settings.aggcodafo = settings.kcos = true;
    const long long updates = 100000, creations = 10000;
    fillReview(db, articles, updates, 0);
    // BENCH_PROFILE=1: the statements the server runs for the updates and its time on them,
    // from its log.
    const bool profile = server && std::getenv("BENCH_PROFILE");
    if (profile) db.exec("SET log_min_duration_statement = 0");
    const auto logStart = server ? fs::file_size(server->log()) : 0;
    double u = runUpdate(db, settings);
    if (profile) {
        db.exec("SET log_min_duration_statement = -1");
        for (const auto& s : bench::loggedStatements(server->log(), logStart))
            if (s.count >= updates / 10 || s.ms >= 200)
                std::printf("  %9lld  %.2f/row %8.3f s  %s\n", s.count,
                            double(s.count) / double(updates), s.ms / 1000, s.text.c_str());
    }
    std::printf("store %7lld articles: %lld updates, processor time %.2f s\n", articles, updates,
                lastCpu);
    fillReview(db, articles, 0, creations);
    double c = runUpdate(db, settings);
    std::printf(
        "store %7lld articles: %lld updates %.2f s (%.1f us/row), %lld new articles %.2f s "
        "(%.1f us/row)\n",
        articles, updates, u, u / updates * 1e6, creations, c, c / creations * 1e6);
    return {u / updates, c / creations};
}

int serverMode(const fs::path& base, long long articles) {
    bench::LocalServer server;
    std::printf("database files:\n");
    Figures files = measure(base / "large", articles);
    std::printf("PostgreSQL server on this machine:\n");
    Figures onServer = measure({}, articles, &server);
    fs::remove_all(base);
    const double ru = onServer.updatePerRow / files.updatePerRow;
    const double rc = onServer.createPerRow / files.createPerRow;
    std::printf("server / files, store of %lld articles: updates %.2f, creations %.2f (limit 3)\n",
                articles, ru, rc);
    return ru <= 3 && rc <= 3 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Each figure as soon as it is known, also into a file: a long run stopped midway keeps them.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    setToday("2026-12-08");
    fs::path base = fs::temp_directory_path() / "cl-bench-apply";
    // --server [ARTICLES]: the store's size (100 000 by default); the updates are 100 000 rows.
    if (argc > 1 && std::string(argv[1]) == "--server")
        return serverMode(base, argc > 2 ? std::atoll(argv[2]) : 100000);
    Figures small = measure(base / "small", 10000);
    Figures large = measure(base / "large", 100000);
    fs::remove_all(base);
    double ru = large.updatePerRow / small.updatePerRow;
    double rc = large.createPerRow / small.createPerRow;
    std::printf("processor time of the four updates: %.2f s\n", cpuSeconds);
    std::printf("per-row ratio 100 000 / 10 000: updates %.2f, creations %.2f (limit 1.30)\n", ru,
                rc);
    return ru <= 1.3 && rc <= 1.3 ? 0 : 1;
}
