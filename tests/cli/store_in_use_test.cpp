// A command run while another copy of the program has the store open: what only reads goes on,
// what writes says who holds the store and writes nothing.
#include <gtest/gtest.h>

#include "app/store_lock.h"
#include "store/database.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace cl::test {
namespace {

namespace fs = std::filesystem;

std::string selectedRows(const fs::path& store) {
    auto db = store::openDatabase(store, store::OpenMode::ReadOnly);
    auto st = db->prepare("SELECT count(*) FROM variatil WHERE sel = 'X'");
    return st.step() ? st.value(0).text() : "";
}

TEST(StoreInUse, ACommandThatWritesWaitsForTheOtherCopyToClose) {
    TempDir dir;
    const fs::path store = dir.path / "C" / "negozio" / "dati" / "DATI.MDB";
    ASSERT_EQ(runProgram(dir.path, {"demo", "--articles", "200"}, true).exitCode, 0);
    ASSERT_EQ(runProgram(dir.path, {"check"}, true).exitCode, 0);
    ASSERT_EQ(runProgram(dir.path, {"select", "none"}, true).exitCode, 0);

    std::optional<StoreHolder> other;
    auto screens = StoreLock::take(StoreLock::fileFor(store), other);  // the screens of a copy
    ASSERT_NE(screens, nullptr);

    auto r = runProgram(dir.path, {"select", "all"}, true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Il negozio è già aperto su "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Nessuna modifica scritta"), std::string::npos) << r.err;
    EXPECT_EQ(selectedRows(store), "0");
    r = runProgram(dir.path, {"apply"}, true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Il negozio è già aperto"), std::string::npos) << r.err;

    r = runProgram(dir.path, {"review", "--csv"}, true);  // looking is allowed
    EXPECT_EQ(r.exitCode, 0) << r.err;

    screens.reset();  // the other copy closes
    EXPECT_EQ(runProgram(dir.path, {"select", "all"}, true).exitCode, 0);
    EXPECT_NE(selectedRows(store), "0");
}

}  // namespace
}  // namespace cl::test
