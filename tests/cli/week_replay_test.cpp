// A store's week from the command line, as a script would run it on the demo store: every
// message tells the true count, no review row is left twice or from another check, and a
// supplier's file does not change the supplier of the next check.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/who.h"
#include "store/database.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace cl::test {
namespace {

namespace fs = std::filesystem;

class WeekReplay : public ::testing::Test {
  protected:
    TempDir dir;
    fs::path store = dir.path / "C" / "negozio" / "dati" / "DATI.MDB";
    fs::path central = dir.path / "C" / "orvik" / "DATI.MDB";

    CliResult run(const std::vector<std::string>& words, bool yes = true) {
        return runProgram(dir.path, words, yes);
    }
    // The first column of each row, joined by ",".
    static std::string query(const fs::path& file, const std::string& sql) {
        auto db = store::openDatabase(file, store::OpenMode::ReadOnly);
        auto st = db->prepare(sql);
        std::string out;
        for (bool first = true; st.step(); first = false)
            out += (first ? "" : ",") + st.value(0).text();
        return out;
    }
    std::string inStore(const std::string& sql) { return query(store, sql); }
    std::string inStoreWithCentral(const std::string& sql) {
        auto db = store::openDatabase(store, store::OpenMode::ReadOnly);
        db->attach(central, "fisso", store::OpenMode::ReadOnly);
        auto st = db->prepare(sql);
        return st.step() ? st.value(0).text() : "";
    }
    long long count(const std::string& sql) { return std::stoll(inStore(sql)); }
    void markCentral(const std::string& where) {
        store::openDatabase(central)->exec("UPDATE articolo SET artvariato = 'S' WHERE " + where);
    }
    // A supplier's file with three articles of the store (one EAN each: two rows of one
    // article would be one article), at a higher cost.
    fs::path supplierFile() {
        auto db = store::openDatabase(store, store::OpenMode::ReadOnly);
        auto st = db->prepare(
            "SELECT trim(min(c.eanare)), l.codart, l.desart, l.cofart FROM codean c JOIN listi01 l "
            "ON l.codart = c.codare WHERE l.cofart > 0 AND c.eanare LIKE '80%' "
            "GROUP BY l.codart, l.desart, l.cofart ORDER BY l.codart LIMIT 3");
        fs::path file = dir.path / "listino-77.csv";
        std::ofstream out(file);
        out << "EAN;Codice;Descrizione;Costo;IVA\n";
        while (st.step())
            out << st.value(0).text() << ";B-" << st.value(1).text() << ";" << st.value(2).text()
                << ";" << st.value(3).number() * 1.1 << ";22\n";
        return file;
    }
};

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string printed(const std::string& label, long long n) {
    return label + ": " + std::to_string(n) + "\n";
}

TEST_F(WeekReplay, CheckApplyRestoreUndoAndASupplierFile) {
    ASSERT_EQ(run({"demo", "--articles", "400", "--seed", "5"}).exitCode, 0);
    const std::string centralSupplier = inStore("SELECT cliente FROM parametri");

    // Monday: the check, the increased prices recalculated with 30 % and rounded, two edits.
    auto r = run({"check"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, printed("Righe scritte in variatil", count("SELECT count(*) FROM "
                                                                      "variatil"))))
        << r.out;
    const long long cleared = std::stoll(query(dir.path / "C/negozio/dati/DATI.history",
                                               "SELECT cleared FROM check_runs WHERE id = 1"));
    ASSERT_EQ(run({"select", "increased"}).exitCode, 0);
    ASSERT_EQ(run({"recalc", "--markup", "30", "--round"}).exitCode, 0);
    const std::string firstTwo =
        inStore("SELECT bns FROM variatil WHERE sel = 'X' ORDER BY bns LIMIT 2");
    const std::string first = firstTwo.substr(0, firstTwo.find(','));
    const std::string second = firstTwo.substr(firstTwo.find(',') + 1);
    ASSERT_EQ(run({"edit", first, "--price", "9,99"}).exitCode, 0);
    ASSERT_EQ(run({"edit", second, "--price", "2,10"}).exitCode, 0);
    const std::string applied =
        inStore("SELECT bns || ':' || ea1art FROM variatil WHERE sel = 'X' ORDER BY bns");
    const long long appliedRows = count("SELECT count(*) FROM variatil WHERE sel = 'X'");
    // The central articles of the rows applied (an article may have several barcodes).
    const long long appliedArticles = std::stoll(inStoreWithCentral(
        "SELECT count(DISTINCT c.codare) FROM fisso.codean c WHERE c.eanare IN (SELECT ea1art "
        "FROM main.variatil WHERE sel = 'X')"));

    r = run({"apply"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(
        has(r.out, "Righe elaborate tolte dalla revisione: " + std::to_string(appliedRows) + ".\n"))
        << r.out;
    r = run({"labels", "--run", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, "Etichette da ristampare - aggiornamento 1 del 08/12/2026"));

    // Tuesday: the check is put back. The question counts the articles the update applied;
    // without an answer nothing happens, and those are marked again only when asked for.
    const long long leftRows = count("SELECT count(*) FROM variatil");
    r = run({"restore-check"}, /*yes=*/false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(has(r.err, std::to_string(cleared - appliedArticles) +
                               " articoli verranno segnati di nuovo come variati e " +
                               std::to_string(leftRows) + " righe non ancora aggiornate"))
        << r.err;
    EXPECT_TRUE(has(r.err, std::to_string(appliedArticles) +
                               " articoli da segnare di nuovo sono stati aggiornati dopo il "
                               "controllo"))
        << r.err;
    r = run({"restore-check", "--include-applied"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, ": " + std::to_string(cleared) + " articoli di nuovo da controllare."))
        << r.out;
    EXPECT_EQ(query(central, "SELECT count(*) FROM articolo WHERE artvariato = 'S'"),
              std::to_string(cleared));

    // A newer check, then the update undone: the question counts every row of the newer
    // check, and only the rows the update consumed come back, once each.
    r = run({"check", "--filters", "new,increased"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const long long newer = count("SELECT count(*) FROM variatil");
    EXPECT_TRUE(has(r.out, printed("Righe scritte in variatil", newer)));
    ASSERT_GT(newer, 0);
    r = run({"undo"}, /*yes=*/false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(has(r.err, "le sue " + std::to_string(newer) + " righe da rivedere")) << r.err;
    r = run({"undo"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(inStore("SELECT bns || ':' || ea1art FROM variatil ORDER BY bns"), applied);
    EXPECT_EQ(inStore("SELECT count(*) FROM variatil WHERE sel = 'X'"),
              std::to_string(appliedRows));
    EXPECT_EQ(inStore("SELECT DISTINCT codfor FROM variatil"), centralSupplier);

    // Wednesday: supplier 77 sends its own list; it is checked and applied.
    r = run({"check", "--supplier", "77", "--price-list", supplierFile().string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, printed("Righe scritte in variatil", 3))) << r.out;
    EXPECT_EQ(inStore("SELECT DISTINCT codfor FROM variatil"), "77");
    const std::string fileArticles =
        inStore("SELECT DISTINCT codare FROM codean WHERE eanare IN (SELECT ea1art FROM variatil)");
    // The new costs and prices, not the markups: the stored markup and margin must be those of
    // the price written, not of the one it replaced.
    r = run({"apply", "--updates", "cost,price"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, "Righe elaborate tolte dalla revisione: 3.\n")) << r.out;
    EXPECT_EQ(inStore("SELECT count(*) FROM listi01 WHERE codart IN (" + fileArticles +
                      ") AND cosiva > 0 AND abs(ricart - (przpub - cosiva) * 100.0 / cosiva) < "
                      "0.006 AND abs(marg - (przpub - cosiva) * 100.0 / przpub) < 0.006"),
              "3");

    // Thursday: a new delivery. The check runs for the central supplier, asking nothing.
    markCentral("codart % 5 = 0");
    r = run({"check"}, /*yes=*/false);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(has(r.err, "Il fornitore scelto")) << r.err;
    EXPECT_TRUE(has(r.out, printed("Righe scritte in variatil", count("SELECT count(*) FROM "
                                                                      "variatil"))));
    EXPECT_EQ(inStore("SELECT DISTINCT codfor FROM variatil"), centralSupplier);
    EXPECT_EQ(inStore("SELECT cliente FROM parametri"), centralSupplier);
    EXPECT_EQ(inStore("SELECT count(*) FROM (SELECT ea1art FROM variatil GROUP BY ea1art HAVING "
                      "count(*) > 1) twice"),
              "0");

    // Who did it: the checks, the update and its undo name this user and this PC.
    const std::string who = describeWho(whoIsHere().user, whoIsHere().pc);
    r = run({"history", "--checks"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, who)) << r.out;
    EXPECT_TRUE(has(r.out, "(ripristinato il 08/12/2026 ")) << r.out;
    EXPECT_TRUE(has(r.out, " da " + who + ")")) << r.out;
    const std::string article =
        query(dir.path / "C/negozio/dati/DATI.history",
              "SELECT min(article) FROM changes WHERE run = 1 AND tbl = 'listi01'");
    r = run({"history", "--article", article});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.out, "  " + who + "  (annullato da " + who + ")")) << r.out;
}

}  // namespace
}  // namespace cl::test
