// Speed of the review over a large work table: opening (rows, counts, the first screen of
// cells), scrolling, the searches and every bulk command. Run: build/bench_review [rows...]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/init_databases.h"
#include "app/session.h"
#include "priceedit/price_editor.h"
#include "review/review_commands.h"
#include "review/review_controller.h"
#include "review/review_grid.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Quiet : cl::Messages {
    void show(const std::string&, cl::Icon, const std::string&) override {}
    cl::Answer ask(const std::string&, const std::string&, cl::Icon, cl::Answer) override {
        return cl::Answer::Yes;
    }
};

double timeMs(const std::function<void()>& f) {
    auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void fill(cl::store::Database& db, long long n) {
    cl::store::Transaction tx(db);
    db.exec("DELETE FROM variatil");
    auto st = db.prepare(
        "INSERT INTO variatil (bns, sel, codart, ea1art, desart, umart, ivart, codfor, codafo, "
        "desrep, desgru, dessot, przart, przvec, coston, perc, rica, prezpub, prezpubv, percdiff, "
        "offerta, fl1art) VALUES (?, 'X', ?, ?, ?, 'PZ', '22', 12, ?, 'ALIMENTARI', 'PASTA', "
        "'SECCA', ?, ?, ?, 20.5, 21.25, ?, ?, 3.5, '          ', ' ')");
    char ean[32], desart[64], codafo[32];
    for (long long i = 1; i <= n; ++i) {
        std::snprintf(ean, sizeof ean, "80%011lld", i);
        std::snprintf(desart, sizeof desart, "ARTICOLO %06lld %s", (i * 7919) % 1000003,
                      i % 10 == 0 ? "DELL'ORTO" : "VARIO");
        std::snprintf(codafo, sizeof codafo, "F%07lld", i);
        const double cost = 1 + static_cast<double>(i % 97) / 10.0;
        st.reset();
        st.bindAll(i, i, std::string(ean), std::string(desart), std::string(codafo), cost,
                   1 + static_cast<double>(i % 89) / 10.0, cost,
                   2 + static_cast<double>(i % 83) / 10.0, 2 + static_cast<double>(i % 91) / 10.0);
        st.run();
    }
    tx.commit();
}

void bench(long long n) {
    auto root =
        std::filesystem::temp_directory_path() / ("cl-bench-review-" + std::to_string(getpid()));
    std::filesystem::remove_all(root);
    cl::Session session(root, 'C');
    cl::initDatabases(session);
    Quiet quiet;
    session.settoDb(quiet);
    session.state.codice_fornitore = 12;
    auto db = session.openStore();
    db->exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ORTO SRL')");
    std::printf("\n%lld righe in variatil (riempimento %.0f ms)\n", n,
                timeMs([&] { fill(*db, n); }));

    cl::NullProgress progress;
    cl::review::ReviewController review(session, *db, quiet, progress);
    auto firstScreen = [&] {
        size_t shown = std::min<size_t>(40, review.rows().count());
        for (size_t i = 0; i < shown; ++i)
            for (int c = 1; c <= cl::review::kColumnCount; ++c)
                cl::review::cellLook(review.rows().row(i), c);
    };
    auto report = [](const char* what, double ms) { std::printf("  %-44s %9.1f ms\n", what, ms); };

    report("apertura (Form_Load + leggo + prima pagina)", timeMs([&] {
               review.open();
               firstScreen();
           }));
    report("scorrimento: 200 pagine da 40 righe", timeMs([&] {
               size_t count = review.rows().count();
               for (size_t p = 0; p < 200; ++p)
                   for (size_t i = 0; i < 40; ++i)
                       for (int c = 1; c <= cl::review::kColumnCount; ++c)
                           cl::review::cellLook(review.rows().row((p * 997 * 40 + i) % count), c);
           }));
    report("ricerca descrizione \"DELL'ORTO\"", timeMs([&] {
               review.search(cl::review::SearchKind::Description, "DELL'ORTO");
               firstScreen();
           }));
    report("ricerca per codice",
           timeMs([&] { review.search(cl::review::SearchKind::Code, "777"); }));
    report("clic su Sel (inverte una riga)", timeMs([&] { review.click(0, 1); }));
    report("Seleziona Tutti", timeMs([&] { review.selectAllRows(); }));
    report("Vedi selezioni / Vedi tutti", timeMs([&] {
               review.toggleSelectedView();
               review.toggleSelectedView();
           }));
    report("Deseleziona Tutti", timeMs([&] { review.deselectAllRows(); }));
    report("Seleziona Solo PV Variati", timeMs([&] { review.selectChangedPrices(); }));
    report("Seleziona solo PV aumentati", timeMs([&] { review.selectRaisedPrices(); }));
    review.deselectAllRows();
    review.selectAllRows();
    report("Ricalcola Prezzi (conteggio selezionati)", timeMs([&] { review.openRecalc(); }));
    session.state.fl_arrotonda = "S";
    report("Ricalcola dal prezzo attuale (+5,5%)", timeMs([&] { review.recalcFromPrice("5,5"); }));
    report("Ricalcola dal costo nuovo (ricarica 30)", timeMs([&] { review.recalcFromCost("30"); }));
    report("Conferma dell'editor (una riga)", timeMs([&] {
               cl::priceedit::PriceEditor editor(*db, quiet, session.state);
               editor.load({0, n / 2, "", "", n / 2});
               editor.fields.ricn = "30";
               editor.enter(cl::priceedit::Field::ricn);
               editor.carica();
           }));
    review.open();
    report("Elimina Dati", timeMs([&] { review.deleteShownRows(); }));
    db.reset();
    std::filesystem::remove_all(root);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<long long> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoll(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};
    for (long long n : sizes) bench(n);
    return 0;
}
