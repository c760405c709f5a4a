#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/column_text.h"
#include "support/terminal_runner.h"
#include "support/variatil_rows.h"

namespace cl::test {
namespace {

// The program under test: CL_BINARY, else the executable beside this test's own.
std::string binary() {
    if (const char* bin = std::getenv("CL_BINARY")) return bin;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "controllo-listino")
        .string();
}

struct Outcome {
    int status;
    std::string out, err;
};

class ReviewCli : public ::testing::Test {
  protected:
    TempStore store;

    void SetUp() override {
        store.exec("INSERT INTO parametri (tipo, cliente) VALUES ('01L', 12)");
        store.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ORTO SRL')");
        addVariatil(store, {.bns = 1,
                            .codart = 100,
                            .desart = "POMODORI DELL'ORTO",
                            .prezpub = "10",
                            .prezpubv = "11",
                            .przart = "10",
                            .coston = "1"});
        addVariatil(store, {.bns = 2,
                            .codart = 0,
                            .sel = "",
                            .desart = "LATTE 50%",
                            .prezpub = "0",
                            .prezpubv = "5"});
        addVariatil(store, {.bns = 3, .codfor = 99, .desart = "ALTRO"});
    }

    Outcome run(const std::string& args, const std::string& stdinText = "") {
        std::string bin = binary();
        std::string errFile = (store.root / "stderr.txt").string();
        std::string inFile = (store.root / "stdin.txt").string();
        FILE* in = std::fopen(inFile.c_str(), "w");
        std::fputs(stdinText.c_str(), in);
        std::fclose(in);
        std::string cmd =
            bin + " --root " + store.root.string() + " " + args + " <" + inFile + " 2>" + errFile;
        Outcome r;
        FILE* p = popen(cmd.c_str(), "r");
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        r.status = WEXITSTATUS(pclose(p));
        FILE* e = std::fopen(errFile.c_str(), "r");
        while ((n = std::fread(buf, 1, sizeof buf, e)) > 0) r.err.append(buf, n);
        std::fclose(e);
        return r;
    }
    std::string q(const std::string& sql) { return store.scalar(sql); }
};

TEST_F(ReviewCli, ReviewShowsTheSuppliersGridInItalianOrRawCsv) {
    Outcome r = run("review");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 27), "Sel\tCodArt\tEan\tDescrizione\t");
    EXPECT_NE(r.out.find("POMODORI DELL'ORTO\tPZ\t\t22\t8,0000\t20,00\t10,00\t"),
              std::string::npos);
    EXPECT_EQ(r.out.find("ALTRO"), std::string::npos);
    Outcome csv = run("review --csv --search description \"DELL'ORTO\"");
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("X,100,8001234567890,POMODORI DELL'ORTO,PZ,,22,8,20,10,,1,18,11,10,"),
              std::string::npos)
        << csv.out;
    Outcome pct = run("review --csv --search description 50%");
    EXPECT_NE(pct.out.find("LATTE 50%"), std::string::npos);
    EXPECT_EQ(pct.out.find("POMODORI"), std::string::npos);
    Outcome sel = run("review --selected --csv");
    EXPECT_EQ(sel.out.find("LATTE"), std::string::npos);
}

TEST_F(ReviewCli, UsageErrorsExitTwo) {
    EXPECT_EQ(run("review --search colour rosso").status, 2);
    EXPECT_EQ(run("review --search description").status, 2);
    EXPECT_EQ(run("select some").status, 2);
    EXPECT_EQ(run("recalc").status, 2);
    EXPECT_EQ(run("recalc --percent 5 --markup 5").status, 2);
    EXPECT_EQ(run("edit 1").status, 2);
    EXPECT_EQ(run("edit 1 --markup 3 --price 4").status, 2);
    EXPECT_EQ(run("toggle uno").status, 2);
}

TEST_F(ReviewCli, RefusalsExitOneAndWriteNothing) {
    std::string before = store.dump("variatil");
    Outcome code = run("review --search code 1x");
    EXPECT_EQ(code.status, 1);
    EXPECT_NE(code.err.find("non è un codice articolo"), std::string::npos);
    EXPECT_EQ(run("toggle 1 77").status, 1);
    EXPECT_EQ(run("recalc --percent dieci").status, 1);
    Outcome edit = run("edit 1 --price abc");
    EXPECT_EQ(edit.status, 1);
    EXPECT_NE(edit.err.find("Attenzione...,Dati non validi"), std::string::npos);
    EXPECT_EQ(run("edit 1 --margin 100,0").status, 1);
    Outcome no = run("delete-rows", "n\n");
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(store.dump("variatil"), before);
}

TEST_F(ReviewCli, SelectToggleRecalcEditDelete) {
    EXPECT_EQ(run("select all").status, 0);
    EXPECT_EQ(columnText(store, "SELECT sel FROM variatil ORDER BY bns", ""), "XXX");
    Outcome t = run("toggle 2");
    EXPECT_EQ(t.out, "bns 2: deselezionata\n");
    Outcome r = run("recalc --markup 30 --round");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" Elaborazione terminata"), std::string::npos);
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "1.6");
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 2"), "5");

    Outcome e = run("edit 1 --vat 10 --markup 30");
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out, "bns 1 (articolo 100): P.Vendita 14,30  % Margine 23,08  % Ricarica 30,00\n");
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "14.3");
    EXPECT_EQ(q("SELECT rica FROM variatil WHERE bns = 1"), "23.08");
    EXPECT_EQ(q("SELECT fl1art FROM variatil WHERE bns = 1"), "S");

    Outcome d = run("delete-rows --yes");
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(columnText(store, "SELECT bns FROM variatil ORDER BY bns"), "3");
}

TEST_F(ReviewCli, RecalcRecalculatesHandTypedPricesUnlessKeepEdited) {
    store.exec("UPDATE variatil SET modificatoamano = '1', sel = 'X' WHERE bns = 2");
    Outcome r = run("recalc --percent 10 --keep-edited");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Articoli Aggiornati: 1"), std::string::npos) << r.out;
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 2"), "5");  // typed by hand: kept
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "11");
    r = run("recalc --percent 10");  // no question on the command line: all, as the panel
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 2"), "0");
    EXPECT_EQ(r.out.find("modificati a mano"), std::string::npos);
}

TEST_F(ReviewCli, EditPriceDigitsHaveImplicitDecimalsAndEitherSeparatorIsRead) {
    // A cost below every price typed here: no question about selling below it.
    store.exec("UPDATE variatil SET przart = 1 WHERE bns = 1");
    // 250 is 2,50 as in the window; the help says so with an example.
    Outcome e = run("edit 1 --price 250");
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "2.5");
    // The last separator is the decimal one: 1,234.5 and 1.234,5 are both 1234,50.
    EXPECT_EQ(run("edit 1 --price 1,234.5").status, 0);
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "1234.5");
    EXPECT_EQ(run("edit 1 --price 12.5").status, 0);
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "12.5");
    // Two thousands points cannot be read back: refused, nothing written.
    std::string before = store.dump("variatil");
    Outcome bad = run("edit 1 --price 1.234.567");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("Dati non validi"), std::string::npos) << bad.err;
    EXPECT_EQ(store.dump("variatil"), before);

    Outcome help = run("edit --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("250 = 2,50"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("edit 14 --price 250"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("1,234.5"), std::string::npos) << help.out;
}

TEST_F(ReviewCli, EditRefusesPricesBeyondTheCentAndAsksAboutPricesBelowTheCost) {
    const std::string before = store.dump("variatil");
    Outcome cents = run("edit 1 --price 4,567");
    EXPECT_EQ(cents.status, 1);
    EXPECT_NE(cents.err.find("4,567 non valido: un prezzo di vendita ha al massimo 2 decimali"),
              std::string::npos)
        << cents.err;
    EXPECT_EQ(store.dump("variatil"), before);

    // Cost 10 + 22 %: "120" is 1,20, below it. Not confirmed: nothing written.
    Outcome below = run("edit 1 --price 120");
    EXPECT_EQ(below.status, 1);
    EXPECT_NE(below.err.find("Il prezzo di vendita 1,20 è sotto il costo IVA compresa 12,20"),
              std::string::npos)
        << below.err;
    EXPECT_NE(below.err.find("Prezzo non confermato: nessuna modifica."), std::string::npos);
    EXPECT_EQ(store.dump("variatil"), before);
    Outcome yes = run("--yes edit 1 --price 120");
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(q("SELECT prezpubv FROM variatil WHERE bns = 1"), "1.2");
}

TEST_F(ReviewCli, EditOnATerminalTakesNoForThePriceBelowTheCost) {
    const std::string before = store.dump("variatil");
    std::string whileAsked;
    auto r = runOnTerminal(
        store.root, {"edit", "1", "--price", "120"}, "[s/N]",
        [&] { whileAsked = store.dump("variatil"); }, "");
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.out.find("Confermare il prezzo? [s/N]"), std::string::npos) << r.out;
    EXPECT_EQ(whileAsked, before);
    EXPECT_EQ(store.dump("variatil"), before);
}

}  // namespace
}  // namespace cl::test
