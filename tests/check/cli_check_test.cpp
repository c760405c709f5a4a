#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_store.h"

namespace cl::test {
namespace {

struct Ran {
    int status;
    std::string out;
};

// CL_BINARY, or the executable built beside the tests.
std::string binary() {
    const char* bin = std::getenv("CL_BINARY");
    if (bin && std::string(bin).find("$<") == std::string::npos) return bin;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "controllo-listino")
        .string();
}

// Runs the executable on the store's root; stdout and stderr together.
Ran run(const TempStore& t, const std::string& args) {
    std::string cmd = binary() + " --root '" + t.root.string() + "' " + args + " 2>&1 </dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    std::array<char, 512> buf;
    while (size_t n = fread(buf.data(), 1, buf.size(), p)) out.append(buf.data(), n);
    int status = pclose(p);
    return {WEXITSTATUS(status), out};
}

class CheckCommand : public ::testing::Test {
  protected:
    CheckCommand() {
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, ivart, umart, artvariato) "
            "VALUES (1, 'PANE', 10, '22', 'PZ', 'S')");
        t.execFixed("INSERT INTO codean (eanare, codare) VALUES ('8001234567890', 1)");
    }
    TempStore t;
};

TEST_F(CheckCommand, RefusedWithoutSupplierThenRunsAndPrintsCounters) {
    auto before = t.dump("parametri");
    auto r = run(t, "check");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ATTENZIONE !!!. Non è stato selezionato il Fornitore..."),
              std::string::npos);
    EXPECT_EQ(t.dump("parametri"), before);

    r = run(t, "check --supplier 12 --updates price,create --filters new");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Articoli controllati: 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Righe scritte in variatil: 1"), std::string::npos) << r.out;
    EXPECT_EQ(t.scalar("SELECT CAST(acos AS TEXT) || aric || apv || creart || cliente || tiposel "
                       "FROM parametri"),
              "0011124");
}

TEST_F(CheckCommand, UnappliedReviewWithoutYesIsKept) {
    t.exec("INSERT INTO variatil (bns, desart) VALUES (1, 'VECCHIA')");
    auto before = t.dump("variatil");
    auto r = run(t, "check --supplier 12");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(t.dump("variatil"), before);
    EXPECT_EQ(t.scalarFixed("SELECT artvariato FROM articolo"), "S");
    r = run(t, "--yes check --supplier 12");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(t.scalar("SELECT desart FROM variatil"), "PANE                          ");
}

TEST_F(CheckCommand, UsageErrors) {
    EXPECT_EQ(run(t, "check --reference prezzo").status, 2);
    EXPECT_EQ(run(t, "check --filters all,many").status, 2);
    EXPECT_EQ(run(t, "barcode-check --markup-source tutti").status, 2);
    EXPECT_EQ(run(t, "check --supplier 99").status, 1);
    // "Solo prodotti doppi" is a box of the changed-article run only.
    auto before = t.dump("variatil");
    auto r = run(t, "barcode-check --supplier 12 --only-no-barcode");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("opzione sconosciuta: --only-no-barcode"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("[--only-no-barcode]"), std::string::npos) << r.out;
    EXPECT_EQ(t.dump("variatil"), before);
    EXPECT_EQ(t.scalarFixed("SELECT artvariato FROM articolo"), "S");
}

}  // namespace
}  // namespace cl::test
