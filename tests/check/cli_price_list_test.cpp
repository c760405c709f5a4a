#include <gtest/gtest.h>

#include <fstream>

#include "support/cli_runner.h"
#include "support/temp_store.h"

namespace cl::test {
namespace {

class PriceListCommand : public ::testing::Test {
  protected:
    PriceListCommand() {
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, ivart, artvariato) "
            "VALUES (1, 'MARCATO', 10, '22', 'S')");
    }
    std::string file(const std::string& name, const std::string& bytes) {
        auto path = t.root / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    CliResult run(const std::vector<std::string>& words) { return runProgram(t.root, words); }
    TempStore t;
};

TEST_F(PriceListCommand, ChecksTheFileAndListsTheBadRowsOnStderr) {
    auto csv = file("rossi.csv",
                    "Listino\nEAN;Codice;Descrizione;Costo;IVA\n"
                    "8001234567890;R1;\"PASTA; 500 g\";1,50;22\n"
                    ";R2;SENZA COSTO;;22\n"
                    ";;SOLO TESTO;2,00;22\n");
    auto r = run({"check", "--supplier", "12", "--price-list", csv, "--filters", "all,new"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Articoli controllati: 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Righe scritte in variatil: 1"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Riga 4: manca il costo (non controllata)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Riga 5: mancano codice fornitore ed EAN (non controllata)"),
              std::string::npos);
    EXPECT_NE(r.err.find("Righe del listino non controllate: 2"), std::string::npos);
    EXPECT_EQ(t.scalar("SELECT codafo || '|' || desart FROM variatil"),
              "R1|PASTA; 500 g" + std::string(18, ' '));
    // The central article stays marked for its own check.
    EXPECT_EQ(t.scalarFixed("SELECT artvariato FROM articolo"), "S");
}

TEST_F(PriceListCommand, ColumnsAndSheetOptions) {
    auto csv = file("nohead.csv", "X1;1,50;ACQUA;22\nX2;2,00;VINO;22\n");
    auto r = run({"check", "--supplier", "12", "--price-list", csv, "--columns",
                  "code=A,cost=B,description=C,vat=D"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "2");
    EXPECT_EQ(
        run({"check", "--supplier", "12", "--price-list", csv, "--columns", "colour=A"}).exitCode,
        2);
    EXPECT_EQ(run({"check", "--supplier", "12", "--price-list", csv, "--sheet", "0"}).exitCode, 2);
    // One field in two columns, two fields in one column.
    EXPECT_EQ(
        run({"check", "--supplier", "12", "--price-list", csv, "--columns", "code=A,cost=B,cost=C"})
            .exitCode,
        2);
    EXPECT_EQ(run({"check", "--supplier", "12", "--price-list", csv, "--columns",
                   "code=A,cost=B,price=B"})
                  .exitCode,
              2);
    EXPECT_EQ(run({"check", "--supplier", "12", "--columns", "code=A"}).exitCode, 2);
    EXPECT_EQ(run({"check", "--supplier", "12", "--price-list", csv, "--only-no-barcode"}).exitCode,
              2);
}

TEST_F(PriceListCommand, UnreadableFileOrNoSupplierWritesNothing) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    const auto variatil = t.dump("variatil"), params = t.dump("parametri");
    auto xls = file("vecchio.xls",
                    std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(512, '\0'));
    auto r = run({"check", "--supplier", "12", "--price-list", xls});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("97-2003"), std::string::npos) << r.err;
    auto nohead = file("nohead.csv", "A;B\n1;2\n");
    r = run({"check", "--supplier", "12", "--price-list", nohead});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("intestazione non trovata"), std::string::npos) << r.err;
    r = run({"check", "--price-list", (t.root / "missing.csv").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Non è stato selezionato il Fornitore"), std::string::npos) << r.err;
    r = run({"check", "--supplier", "12", "--price-list", (t.root / "missing.csv").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Impossibile aprire il file"), std::string::npos) << r.err;
    EXPECT_EQ(t.dump("variatil"), variatil);
    EXPECT_EQ(t.dump("parametri"), params);
}

// Supplier 77's list checked as supplier 12's: the question comes before anything is
// written, and No (the default, without --yes) leaves the store as it was.
TEST_F(PriceListCommand, MostArticlesOfAnotherSupplierAskFirst) {
    t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (77, 'VERDI SRL')");
    const std::vector<std::string> eans = {"8001234567897", "8009876543217", "8000000000019"};
    for (size_t i = 0; i < eans.size(); ++i) {
        const std::string code = std::to_string(100 + i);
        t.exec("INSERT INTO codean (eanare, codare) VALUES ('" + eans[i] + "', " + code + ")");
        t.exec("INSERT INTO listi01 (codart, desart, codfor, ivart) VALUES (" + code + ", 'ART', " +
               (i == 0 ? "12" : "77") + ", '22')");
    }
    auto csv = file("verdi.csv",
                    "EAN;Codice;Costo;IVA\n8001234567897;V1;1,00;22\n8009876543217;V2;2,00;22\n"
                    "8000000000019;V3;3,00;22\n");
    const auto variatil = t.dump("variatil");
    auto no = runProgram(t.root, {"check", "--supplier", "12", "--price-list", csv}, false);
    EXPECT_EQ(no.exitCode, 1) << no.err << no.out;
    EXPECT_NE(no.err.find("2 dei 3 articoli del listino trovati nel negozio sono del fornitore "
                          "VERDI SRL, codice 77"),
              std::string::npos)
        << no.err;
    EXPECT_EQ(t.dump("variatil"), variatil);
    auto yes = run({"check", "--supplier", "12", "--price-list", csv});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "3");
    // The chosen supplier's own file asks nothing about it (only about the review left).
    auto own = runProgram(t.root, {"check", "--supplier", "77", "--price-list", csv}, false);
    EXPECT_EQ(own.err.find("trovati nel negozio"), std::string::npos) << own.err;
}

TEST_F(PriceListCommand, AmountsThatReadTwoWaysNeedDecimal) {
    auto csv = file("mille.csv", "Codice;Costo;IVA\nM1;1.250;22\nM2;2.750;22\n");
    auto refused = run({"check", "--supplier", "12", "--price-list", csv});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("--decimal"), std::string::npos) << refused.err;
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "0");
    EXPECT_EQ(
        run({"check", "--supplier", "12", "--price-list", csv, "--decimal", "virgola"}).exitCode,
        2);
    ASSERT_EQ(
        run({"check", "--supplier", "12", "--price-list", csv, "--decimal", "point"}).exitCode, 0);
    EXPECT_EQ(t.scalar("SELECT coston FROM variatil WHERE codafo = 'M1'"), "1.25");
}

}  // namespace
}  // namespace cl::test
