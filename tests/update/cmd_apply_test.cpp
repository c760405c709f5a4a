// The command line twin: "apply" as the program starts it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "update_fixture.h"

namespace cl::test {
namespace {

// The executable under test: CL_BINARY, else the one built beside the tests.
std::string binary() {
    if (const char* bin = std::getenv("CL_BINARY"); bin && std::filesystem::exists(bin)) return bin;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "controllo-listino")
        .string();
}

struct Ran {
    int status;
    std::string out;
};

class CmdApply : public UpdateTest {
  protected:
    void SetUp() override {
        UpdateTest::SetUp();
        insert("parametri", {{"tipo", "01L"}, {"cliente", 12}, {"aric", 0}});
        insert("fornitori", {{"codfornitore", 12}, {"dscfornitore", "ROSSI SPA"}});
        insert("listi01", {{"codart", 5}, {"przpub", 1.0}, {"desart", "VECCHIA"}});
        variatil({{"codart", 5},
                  {"ea1art", "0000000000000"},
                  {"desart", "NUOVA"},
                  {"codafo", "000000005"},
                  {"coston", 1.0},
                  {"ivart", "10"},
                  {"prezpubv", 1.5}});
        variatil({{"codart", 0},
                  {"ea1art", "0000000000000"},
                  {"desart", "SENZA"},
                  {"codafo", "000000006"},
                  {"coston", 1.0},
                  {"ivart", "10"},
                  {"prezpubv", 2.0}});
    }
    // The update asks first: --yes answers, as a script would.
    Ran apply(const std::string& options, bool yes = true) {
        std::string cmd = binary() + " --root '" + ts.root.string() + "' --today " + kToday +
                          (yes ? " --yes" : "") + " apply " + options + " 2>&1 </dev/null";
        Ran r{0, {}};
        FILE* p = popen(cmd.c_str(), "r");
        char buf[512];
        while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
        r.status = WEXITSTATUS(pclose(p));
        return r;
    }
};

TEST_F(CmdApply, DefaultsUpdateAndCreateAndPrintTheNoBarcodeLine) {
    Ran r = apply("");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Attenzione!: Elaborazione terminata, cliccare su OK per uscire?"),
              std::string::npos);
    EXPECT_NE(r.out.find("Creato Codice : 6   SENZA"), std::string::npos) << r.out;
    EXPECT_EQ(joined("SELECT przpub, desart FROM listi01 WHERE codart=5"), "1.5|NUOVA");
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");
}

TEST_F(CmdApply, ListTicksExactlyTheNamedBoxes) {
    Ran r = apply("--updates cost,vat");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(joined("SELECT przpub, desart, cosiva, ivart FROM listi01 WHERE codart=5"),
              "1|VECCHIA|1.1|10");
    EXPECT_EQ(q("SELECT count(*) FROM listi01"), "1");  // "create" not listed
}

TEST_F(CmdApply, UnknownWordIsAUsageErrorAndWritesNothing) {
    std::string before = everything();
    Ran r = apply("--updates prices");
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("voce sconosciuta in --updates: prices"), std::string::npos);
    EXPECT_EQ(everything(), before);
}

TEST_F(CmdApply, SupplierListsOnlyAsksAndWithoutYesWritesNothing) {
    std::string before = everything();
    Ran r = apply("--supplier-lists-only", false);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Sei sicuro di voler aggiornare il listino ..."), std::string::npos);
    EXPECT_EQ(everything(), before);
    std::string cmd = binary() + " --root '" + ts.root.string() +
                      "' --yes apply --supplier-lists-only >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 0);
    EXPECT_EQ(q("SELECT count(*) FROM listi02"), "1");
    EXPECT_EQ(q("SELECT przpub FROM listi01"), "1");
}

std::string bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(CmdApply, DryRunPrintsTheSummaryAndLeavesEveryFileByteIdentical) {
    const auto history = ts.storeFile().parent_path() / "DATI.history";
    const std::string store = bytes(ts.storeFile()), fixed = bytes(ts.fixedFile()),
                      suite = bytes(ts.suiteFile());
    Ran r = apply("--dry-run", false);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Righe da aggiornare: 1\n  prezzo di vendita aumentato: 1\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Articoli nuovi da creare: 1"), std::string::npos);
    EXPECT_NE(r.out.find("nessuna modifica scritta"), std::string::npos);
    EXPECT_EQ(bytes(ts.storeFile()), store);
    EXPECT_EQ(bytes(ts.fixedFile()), fixed);
    EXPECT_EQ(bytes(ts.suiteFile()), suite);
    EXPECT_FALSE(std::filesystem::exists(history));
    EXPECT_EQ(apply("--dry-run --supplier-lists-only").status, 2);
}

TEST_F(CmdApply, WithoutYesTheSummaryIsAskedAndNothingWritten) {
    std::string before = everything();
    Ran r = apply("", false);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Aggiorna: Righe da aggiornare: 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Procedere con l'aggiornamento? No"), std::string::npos) << r.out;
    EXPECT_EQ(everything(), before);
    r = apply("");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("labels --run 1"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace cl::test
