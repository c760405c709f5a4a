// Times the check runs over demo stores of 10 000 and 100 000 articles, every central article
// marked changed, beside a set-based SQL statement that fills variatil with the same rows for
// the default options: the floor a row-by-row run can approach. Each measurement runs in a
// fresh process on a fresh copy of the store, so that its peak memory is its own.
// With --server, the same runs on a copy of the store on a local PostgreSQL server beside the
// runs on the files, and the ratio of their times.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/session.h"
#include "bench_messages.h"
#include "check/check_commands.h"
#include "check/start_up.h"
#include "demo/demo_store.h"
#include "server_mode.h"
#include "store/database.h"

namespace fs = std::filesystem;
using namespace cl;

namespace {

using bench::YesMessages;

// The variatil rows of the run over changed articles for the default options, in one statement:
// every examined row passes the filters ("Tutti" is ticked), so only the skipped barcodes and
// the departments marked "N" are left out.
const char* kBaseline = R"SQL(
INSERT INTO main.variatil (bns, sel, codart, ea1art, desart, umart, ivart, imbart, ea2art,
  fl1art, datval, colli, tipges, tipart, marchio, pezzatura, umconf, desfor, codfor, codafo,
  codrep, desrep, codgru, desgru, codsot, dessot, przart, przvec, coston, perc, rica, prezpub,
  prezpubv, percdiff, offerta, prezoff, datagg)
WITH w AS (
  SELECT a.*, c.eanare AS ean, row_number() OVER (ORDER BY a.desart, a.codart, c.eanare) AS n
  FROM fisso.articolo a JOIN fisso.codean c ON c.codare = a.codart
  WHERE a.artvariato = 'S'
    AND NOT (substr(c.eanare, 1, 3) = '000' AND substr(c.eanare, 1, 5) <> '00000')),
k AS (
  SELECT w.*, s.codare AS found,
    coalesce(s.codare, (SELECT l2.codart FROM main.listi02 l2
       WHERE l2.codafo = printf('%09d', w.codart) AND l2.codlis = ?1), 0) AS art,
    coalesce(sg.codgru, 0) AS grp
  FROM w LEFT JOIN main.codean s ON s.eanare = w.ean
  LEFT JOIN fisso.sottogruppi sg ON sg.codsot = w.codsot),
p AS (
  SELECT k.*, l.ricart, l.marg, coalesce(l.przpub, 0) AS oldprice,
    coalesce(l.cofart, 0) AS oldcost, l.umart AS sunit, l.datagg AS sdate,
    coalesce(l.przsal, 0) AS offer, l.codrep AS lrep, l.codart AS lart,
    min(100, CASE WHEN cg.codice IS NULL THEN 35
                  ELSE coalesce(cg.ricarica, l.ricart, 35) END) AS mk,
    g.codrep AS grep, g.dscgruppo AS gname
  FROM k LEFT JOIN main.listi01 l ON l.codart = k.art AND k.art <> 0
  LEFT JOIN fisso.gruppi cg ON cg.codice = k.grp
  LEFT JOIN main.gruppi g ON g.codgru = k.grp),
q AS (
  SELECT p.*,
    CASE WHEN art <> 0 THEN coalesce(lrep, 1)
         WHEN coalesce(grep, 0) <> 0 THEN grep ELSE 2 END AS rep,
    CASE WHEN coalesce(przpub, 0) <> 0 THEN przpub
         ELSE round(round(przart + przart * mk / 100, 4) * (1 + ivart / 100.0), 2) END AS newprice
  FROM p)
SELECT n, 'X', art, ean, substr(desart || printf('%30s', ''), 1, 30), substr(coalesce(sunit, umart), 1, 2),
  ivart, imbart, ea2art, ' ', datval, colli, tipges, tipart, marchio, pezzatura, umconf,
  substr(CASE WHEN found IS NULL AND art = 0 THEN desfor ELSE '' END || printf('%35s', ''), 1, 35),
  ?2, printf('%09d', codart), rep, substr(coalesce(r.descrizione, '') || printf('%20s', ''), 1, 20),
  codgru, substr(coalesce(gname, desgru, '') || printf('%30s', ''), 1, 30), codsot, dessot,
  przart, oldcost, przart,
  CASE WHEN ricart IS NULL THEN 0 ELSE coalesce(marg, 0) END,
  CASE WHEN ivart IS NULL OR newprice <= 0 THEN 35
       ELSE (newprice / (1 + ivart / 100.0) - przart) / (newprice / (1 + ivart / 100.0)) * 100 END,
  oldprice, newprice,
  CASE WHEN oldcost <> 0 THEN (przart - oldcost) / oldcost * 100 ELSE 100 END,
  CASE WHEN offer <> 0 THEN 'OFFERTA   ' WHEN found IS NULL THEN '*** NUOVO ' ELSE '          ' END,
  offer, sdate
FROM q LEFT JOIN main.reparti r ON r.reparto = q.rep
WHERE coalesce(r.tx, '') <> 'N'
ORDER BY n
)SQL";

long long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Processor seconds of this process: on a shared machine the wall clock also counts the time
// other processes held the cores.
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

// In the child: one run on the store under root (or on `server`, when given); prints
// "wall cpu peak_kb rows".
int measure(const std::string& what, const fs::path& root, const std::string& server) {
    Session session(root, 'C');
    session.server = server;
    YesMessages messages;
    if (!check::locateDatabases(session, messages)) return 1;
    check::CheckScreenState screen;
    check::formLoad(session, screen);
    NullProgress progress;
    auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    long long rows = 0;
    if (what == "baseline") {
        auto db = session.openStore(true);
        store::Transaction tx(*db);
        db->exec("DELETE FROM main.variatil");
        char codlis[16];
        std::snprintf(codlis, sizeof codlis, "%06lld", session.state.codice_fornitore);
        db->prepare(kBaseline).bindAll(std::string(codlis), session.state.codice_fornitore).run();
        rows = db->changes();
        db->exec("UPDATE fisso.articolo SET artvariato = '' WHERE artvariato = 'S'");
        tx.commit();
    } else {
        auto r = what == "elabora_ean"
                     ? check::runBarcodeCheck(session, screen, messages, progress)
                     : check::runArticleCheck(session, screen, messages, progress);
        if (r.outcome != check::RunOutcome::Done) return 1;
        rows = r.counts.written;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.4f %.4f %lld %lld\n", seconds, cpuSeconds() - cpuStart, maxRssKb(), rows);
    return 0;
}

struct Sample {
    double seconds = 0, cpu = 0;
    long long peakKb = 0, rows = 0;
};

// One run in a child process: on a fresh copy of the files, or on the server database
// `server` (a fresh copy made by the caller) with the files under `pristine` for the rest.
Sample runChild(const std::string& self, const std::string& what, const fs::path& pristine,
                const fs::path& work, const std::string& server = {}) {
    std::string cmd;
    if (server.empty()) {
        fs::remove_all(work);
        fs::copy(pristine, work, fs::copy_options::recursive);
        cmd = "'" + self + "' --measure " + what + " '" + work.string() + "'";
    } else {
        cmd = "'" + self + "' --measure " + what + " '" + pristine.string() + "' '" + server + "'";
    }
    FILE* p = popen(cmd.c_str(), "r");
    Sample s;
    if (!p || std::fscanf(p, "%lf %lf %lld %lld", &s.seconds, &s.cpu, &s.peakKb, &s.rows) != 4) {
        std::cerr << "misura fallita: " << what << "\n";
        std::exit(1);
    }
    pclose(p);
    return s;
}

Sample median(std::vector<Sample> v) {
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.cpu < b.cpu; });
    return v[v.size() / 2];
}

// The server's own work is not this process's processor time: the wall clock compares.
Sample medianWall(std::vector<Sample> v) {
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.seconds < b.seconds; });
    return v[v.size() / 2];
}

// The statements the server spent most time on during a run, and how many per article.
void printStatements(bench::LocalServer& server, std::uintmax_t logStart, long long articles) {
    auto logged = bench::loggedStatements(server.log(), logStart);
    long long total = 0;
    double ms = 0;
    for (const auto& s : logged) total += s.count, ms += s.ms;
    std::printf("  statements on the server: %lld (%.2f per article), %.2f s of its time\n", total,
                double(total) / double(articles), ms / 1000);
    for (size_t i = 0; i < logged.size() && i < 8; ++i)
        std::printf("  %9lld  %.2f/art %8.3f s  %s\n", logged[i].count,
                    double(logged[i].count) / double(articles), logged[i].ms / 1000,
                    logged[i].text.c_str());
}

// Each check on the files and on a local server, same store, same machine. BENCH_PROFILE=1
// also counts the statements the server ran and its time on them (its log).
int serverMode(const std::string& self, const std::vector<long long>& sizes, int repeats,
               const fs::path& base) {
    bench::LocalServer server;
    const bool profile = std::getenv("BENCH_PROFILE") != nullptr;
    std::printf("%-12s %9s %10s %10s %8s %8s\n", "run", "articles", "files s", "server s", "ratio",
                "rows");
    for (long long n : sizes) {
        fs::path pristine = base / ("store-" + std::to_string(n));
        Session session(pristine, 'C');
        NullProgress quiet;
        demo::createDemo(session, {n, 1, 100}, false, quiet);
        YesMessages messages;
        if (!check::locateDatabases(session, messages)) return 1;
        const std::string original = "negozio" + std::to_string(n);
        bench::copyInstallation(session, server.freshStore(original));
        for (const char* what : {"elabora", "elabora_ean"}) {
            std::vector<Sample> files, onServer;
            for (int i = 0; i < repeats; ++i) {
                files.push_back(runChild(self, what, pristine, base / "work"));
                onServer.push_back(
                    runChild(self, what, pristine, {}, server.copyOf(original, "lavoro")));
            }
            if (profile) {
                // One more run, not timed: the log slows the server down.
                const std::string work = server.copyOf(original, "lavoro");
                server.logStatements("lavoro");
                const auto logStart = std::filesystem::file_size(server.log());
                Sample s = runChild(self, what, pristine, {}, work);
                std::printf("  logged run: %.3f s, this side's processor %.3f s\n", s.seconds,
                            s.cpu);
                printStatements(server, logStart, n);
            }
            Sample f = medianWall(files), s = medianWall(onServer);
            if (f.rows != s.rows)
                std::fprintf(stderr, "righe diverse: %lld / %lld\n", f.rows, s.rows);
            std::printf("%-12s %9lld %10.3f %10.3f %7.2fx %8lld\n", what, n, f.seconds, s.seconds,
                        s.seconds / f.seconds, s.rows);
            std::fflush(stdout);
        }
    }
    fs::remove_all(base);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--measure")
        return measure(argv[2], argv[3], argc == 5 ? argv[4] : "");
    const bool onServer = argc > 1 && std::string(argv[1]) == "--server";
    if (onServer) --argc, ++argv;
    const std::string self = fs::read_symlink("/proc/self/exe");
    const int repeats = std::getenv("BENCH_REPEATS") ? std::atoi(std::getenv("BENCH_REPEATS")) : 3;
    fs::path base = fs::temp_directory_path() / ("bench-check-" + std::to_string(getpid()));
    std::vector<long long> sizes = {10000, 100000};
    if (argc > 1) sizes = {std::atoll(argv[1])};
    if (onServer) return serverMode(self, sizes, repeats, base);
    std::printf("%-12s %9s %8s %8s %12s %8s %8s %12s\n", "run", "articles", "wall s", "cpu s",
                "cpu us/art", "rows", "peak MB", "cpu vs base");
    for (long long n : sizes) {
        fs::path pristine = base / ("store-" + std::to_string(n));
        Session session(pristine, 'C');
        NullProgress quiet;
        demo::createDemo(session, {n, 1, 100}, false, quiet);
        double floor = 0;
        for (const char* what : {"baseline", "elabora", "elabora_ean"}) {
            std::vector<Sample> samples;
            for (int i = 0; i < repeats; ++i)
                samples.push_back(runChild(self, what, pristine, base / "work"));
            Sample s = median(samples);
            if (std::string(what) == "baseline") floor = s.cpu;
            std::printf("%-12s %9lld %8.3f %8.3f %12.2f %8lld %8.1f %11.2fx\n", what, n, s.seconds,
                        s.cpu, s.cpu * 1e6 / double(n), s.rows, s.peakKb / 1024.0, s.cpu / floor);
            std::fflush(stdout);
        }
    }
    fs::remove_all(base);
    return 0;
}
