// Peak memory of a supplier's file: reading it, its rows, then the check over them, for a CSV
// of N articles (default 1 000 000) on a demo store. Prints the peak resident set after each
// stage; the target is a bounded peak, well under 300 MB more than the program itself.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "app/ean.h"
#include "app/session.h"
#include "bench_messages.h"
#include "check/check_commands.h"
#include "check/start_up.h"
#include "demo/demo_store.h"
#include "pricelist/price_list.h"

namespace fs = std::filesystem;
using namespace cl;

namespace {

using bench::YesMessages;

long peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

void writeCsv(const fs::path& file, long long rows) {
    std::ofstream out(file, std::ios::binary);
    out << "EAN;Codice;Descrizione;Costo;IVA\n";
    for (long long i = 0; i < rows; ++i)
        out << app::ean13(std::to_string(800000000000LL + i)) << ";C" << i << ";ARTICOLO " << i
            << ";" << (i % 900) + 1 << "," << (i % 100 < 10 ? "0" : "") << i % 100 << ";22\n";
}

}  // namespace

int main(int argc, char** argv) {
    const long long n = argc > 1 ? std::atoll(argv[1]) : 1000000;
    fs::path base = fs::temp_directory_path() / ("bench-memory-" + std::to_string(getpid()));
    fs::path root = base / "store", file = base / "listino.csv";
    {
        Session session(root, 'C');
        NullProgress quiet;
        demo::createDemo(session, {2000, 1, 10}, false, quiet);
    }
    writeCsv(file, n);
    std::printf("%-22s %8s\n", "fase", "picco MB");
    std::printf("%-22s %8ld\n", "avvio", peakMb());
    Session session(root, 'C');
    YesMessages messages;
    if (!check::locateDatabases(session, messages)) return 1;
    check::CheckScreenState screen;
    auto suppliers = check::formLoad(session, screen);
    check::chooseSupplier(screen, session.state, std::to_string(suppliers.at(0).code),
                          suppliers.at(0).name);
    // As the command line reads it: the CSV as a stream, straight into its rows.
    auto list = pricelist::readPriceListRows(file, std::nullopt, std::nullopt);
    std::printf("%-22s %8ld  (%zu righe)\n", "righe lette", peakMb(), list.rows.size());
    NullProgress progress;
    auto r = check::checkPriceList(session, screen, list, messages, progress);
    std::printf("%-22s %8ld  (%lld scritte)\n", "controllo", peakMb(), r.counts.written);
    fs::remove_all(base);
    return r.outcome == check::RunOutcome::Done ? 0 : 1;
}
