// Times the check over a supplier's file against the same check from the central database:
// a demo store whose central articles are all marked changed, and a CSV file holding the same
// articles (barcode, code, description, cost, VAT, price). The file's time includes reading
// and splitting it. Each measurement runs in a fresh process on a fresh copy of the store.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/numbers.h"
#include "app/session.h"
#include "bench_messages.h"
#include "check/check_commands.h"
#include "check/start_up.h"
#include "demo/demo_store.h"
#include "pricelist/price_list.h"
#include "store/database.h"

namespace fs = std::filesystem;
using namespace cl;

namespace {

using bench::YesMessages;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

std::string italian(double v) {
    std::string s = plainNumber(v);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// The marked central articles as the supplier's CSV, in the order the central walk takes.
void writeFile(const fs::path& root, const fs::path& file) {
    Session session(root, 'C');
    YesMessages messages;
    check::locateDatabases(session, messages);
    auto db = session.openStore(true, store::OpenMode::ReadOnly);
    std::ofstream out(file);
    out << "EAN;Codice;Descrizione;Costo;IVA;Prezzo vendita;UM\n";
    auto st = db->prepare(
        "SELECT c.eanare, a.codart, a.desart, a.przart, a.ivart, a.przpub, "
        "a.umart FROM fisso.articolo a JOIN fisso.codean c ON c.codare = a.codart "
        "WHERE a.artvariato = 'S' ORDER BY a.desart, a.codart, c.eanare");
    while (st.step()) {
        std::string desc = st.value(2).text();
        std::string quoted = "\"";
        for (char c : desc) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        char code[32];
        std::snprintf(code, sizeof code, "%09lld", static_cast<long long>(st.value(1).integer()));
        out << store::Value(st.value(0)).text() << ';' << code << ';' << quoted << "\";"
            << italian(st.value(3).number()) << ';' << st.value(4).text() << ';'
            << (st.value(5).isNull() ? std::string() : italian(st.value(5).number())) << ';'
            << st.value(6).text() << '\n';
    }
}

// In the child: one run; prints "wall cpu rows".
int measure(const std::string& what, const fs::path& root, const fs::path& file) {
    Session session(root, 'C');
    YesMessages messages;
    if (!check::locateDatabases(session, messages)) return 1;
    check::CheckScreenState screen;
    check::formLoad(session, screen);
    NullProgress progress;
    auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    check::RunReport r;
    if (what == "central") {
        r = check::runArticleCheck(session, screen, messages, progress);
    } else {
        auto sheet = pricelist::readPriceListFile(file);
        auto list = pricelist::extractRows(sheet, pricelist::columnsFor(sheet, std::nullopt));
        r = check::checkPriceList(session, screen, list, messages, progress);
    }
    if (r.outcome != check::RunOutcome::Done) return 1;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.4f %.4f %lld\n", wall, cpuSeconds() - cpuStart, r.counts.written);
    return 0;
}

struct Sample {
    double wall = 0, cpu = 0;
    long long rows = 0;
};

Sample runChild(const std::string& self, const std::string& what, const fs::path& pristine,
                const fs::path& work, const fs::path& file) {
    fs::remove_all(work);
    fs::copy(pristine, work, fs::copy_options::recursive);
    std::string cmd =
        "'" + self + "' --measure " + what + " '" + work.string() + "' '" + file.string() + "'";
    FILE* p = popen(cmd.c_str(), "r");
    Sample s;
    if (!p || std::fscanf(p, "%lf %lf %lld", &s.wall, &s.cpu, &s.rows) != 3) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--measure") return measure(argv[2], argv[3], argv[4]);
    const std::string self = fs::read_symlink("/proc/self/exe");
    const int repeats = std::getenv("BENCH_REPEATS") ? std::atoi(std::getenv("BENCH_REPEATS")) : 3;
    const long long n = argc > 1 ? std::atoll(argv[1]) : 100000;
    fs::path base = fs::temp_directory_path() / ("bench-price-list-" + std::to_string(getpid()));
    fs::path pristine = base / "store", file = base / "listino.csv";
    Session session(pristine, 'C');
    NullProgress quiet;
    demo::createDemo(session, {n, 1, 100}, false, quiet);
    writeFile(pristine, file);
    std::printf("%-8s %9s %8s %8s %8s %10s\n", "run", "articles", "wall s", "cpu s", "rows",
                "cpu ratio");
    double central = 0;
    for (const char* what : {"central", "file"}) {
        std::vector<Sample> samples;
        for (int i = 0; i < repeats; ++i)
            samples.push_back(runChild(self, what, pristine, base / "work", file));
        Sample s = median(samples);
        if (std::string(what) == "central") central = s.cpu;
        std::printf("%-8s %9lld %8.3f %8.3f %8lld %9.2fx\n", what, n, s.wall, s.cpu, s.rows,
                    s.cpu / central);
        std::fflush(stdout);
    }
    fs::remove_all(base);
    return 0;
}
