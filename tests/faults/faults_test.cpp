// Faults from outside the program: read-only and full disks, a lock held by another process,
// damaged files, a missing table or field, two processes at once. Each gives a clear message
// and leaves the data as they were.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "store/database.h"
#include "support/cli_runner.h"

namespace cl {
namespace {

namespace fs = std::filesystem;
using test::runProgram;

const std::vector<std::string> kApply{"apply", "--updates",
                                      "cost,markup,price,create,descriptions,supplier-code"};

class FaultTest : public ::testing::Test {
  protected:
    fs::path dir, root;
    std::vector<fs::path> mounts;

    void SetUp() override {
        if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
        dir = fs::temp_directory_path() / ("cl-faults-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        root = dir / "root";
        ASSERT_EQ(runProgram(root, {"demo", "--articles", "1500", "--seed", "3"}).exitCode, 0);
    }
    void TearDown() override {
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) umount2(it->c_str(), MNT_DETACH);
        fs::remove_all(dir);
    }
    fs::path storeFile() const { return root / "C/negozio/dati/DATI.MDB"; }
    fs::path fixedFile() const { return root / "C/orvik/DATI.MDB"; }
    std::map<std::string, std::string> state() {
        std::string integrity;
        auto c = test::databaseContents(root, integrity);
        EXPECT_EQ(integrity, "");
        return c;
    }
    // A file system of its own (tmpfs) of `size` bytes at `mnt`, for disks that fill or turn
    // read-only. False when this machine does not allow mounting.
    bool tmpfsAt(const fs::path& mnt, const std::string& size) {
        fs::create_directories(mnt);
        if (mount("tmpfs", mnt.c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) return false;
        mounts.push_back(mnt);
        return true;
    }
    // The store moved onto a tmpfs of its own.
    bool storeOnTmpfs(const std::string& size) {
        fs::path mnt = dir / "mnt";
        if (!tmpfsAt(mnt, size)) return false;
        fs::copy(storeFile().parent_path(), mnt, fs::copy_options::recursive);
        fs::remove_all(storeFile().parent_path());
        fs::create_directory_symlink(mnt, storeFile().parent_path());
        return true;
    }
    void expectRefused(const test::CliResult& r, const std::string& words) {
        EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
        EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
    }
};

TEST_F(FaultTest, ReadOnlyDiskRefusesEveryWrite) {
    ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
    ASSERT_EQ(runProgram(root, {"select", "all"}).exitCode, 0);
    if (!storeOnTmpfs("64m")) GTEST_SKIP() << "cannot mount here";
    ASSERT_EQ(mount(nullptr, mounts.back().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    auto before = state();
    expectRefused(runProgram(root, kApply), "sola lettura");
    expectRefused(runProgram(root, {"recalc", "--percent", "5"}), "sola lettura");
    EXPECT_EQ(state(), before);
}

TEST_F(FaultTest, FullDiskRollsBackTheWholeUpdate) {
    ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
    ASSERT_EQ(runProgram(root, {"select", "all"}).exitCode, 0);
    auto size = fs::file_size(storeFile());
    // Room for the database and a little: not for the rollback journal of a whole update.
    if (!storeOnTmpfs(std::to_string(size + size / 8 + 64 * 1024)))
        GTEST_SKIP() << "cannot mount here";
    auto before = state();
    auto r = runProgram(root, kApply);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(state(), before);
}

TEST_F(FaultTest, PdfOnAFullDiskIsRefusedWithNoFileLeft) {
    const fs::path full = dir / "pieno";
    if (!tmpfsAt(full, "16k")) GTEST_SKIP() << "cannot mount here";
    auto refused = [&](const std::vector<std::string>& words) {
        auto r = runProgram(root, words);
        EXPECT_EQ(r.exitCode, 1) << words[0] << ": " << r.out << r.err;
        EXPECT_NE(r.err.find("Disco pieno"), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("Scritto"), std::string::npos) << r.out;
        EXPECT_TRUE(fs::is_empty(full)) << words[0];
    };
    ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
    refused({"report", "--pdf", (full / "controllo.pdf").string()});
    ASSERT_EQ(runProgram(root, {"select", "all"}).exitCode, 0);
    ASSERT_EQ(runProgram(root, kApply).exitCode, 0);
    refused({"labels", "--pdf", (full / "etichette.pdf").string()});
    refused({"labels", "--pdf", (full / "elenco.pdf").string(), "--layout", "elenco"});
}

TEST_F(FaultTest, LockHeldByAnotherProcessBeyondTheBusyTimeout) {
    auto before = state();
    // The sqlite3 shell holds an exclusive lock for longer than the program waits.
    std::string cmd =
        "(echo 'BEGIN EXCLUSIVE; SELECT count(*) FROM listi01;'; sleep 9; "
        "echo 'ROLLBACK;') | sqlite3 '" +
        storeFile().string() + "' >/dev/null &";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    sleep(1);
    auto r = runProgram(root, {"check"});
    expectRefused(r, "in uso");
    sleep(9);
    EXPECT_EQ(state(), before);
}

TEST_F(FaultTest, DamagedFilesAreRefusedUntouched) {
    {  // truncated store database
        auto size = fs::file_size(storeFile());
        fs::resize_file(storeFile(), size / 3);
        auto bytes = fs::file_size(storeFile());
        expectRefused(runProgram(root, {"check"}), "Attenzione");
        EXPECT_EQ(fs::file_size(storeFile()), bytes);
    }
    {  // article database overwritten with garbage
        std::ofstream(fixedFile(), std::ios::trunc) << std::string(5000, 'x');
        auto r = runProgram(root, {"check"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(fs::file_size(fixedFile()), 5000u);
    }
}

TEST_F(FaultTest, MissingTableOrFieldIsNamed) {
    {
        auto dbConnection = store::openDatabase(storeFile());
        store::Database& db = *dbConnection;
        db.exec("DROP TABLE unitam");
    }
    expectRefused(runProgram(root, {"check"}), "unitam");
    {
        auto dbConnection = store::openDatabase(storeFile());
        store::Database& db = *dbConnection;
        db.exec("CREATE TABLE unitam (coduni TEXT, umrife TEXT)");
    }
    expectRefused(runProgram(root, {"check"}), "fatxmul");
}

TEST_F(FaultTest, TwoUpdatesAtOnceSerialise) {
    ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
    ASSERT_EQ(runProgram(root, {"select", "all"}).exitCode, 0);
    fs::path serial = dir / "serial";
    test::copyTree(root, serial);
    ASSERT_EQ(runProgram(serial, kApply).exitCode, 0);
    runProgram(serial, kApply);  // the second finds nothing left to apply
    std::string integrity;
    auto expected = test::databaseContents(serial, integrity);

    pid_t a = test::startProgram(root, kApply), b = test::startProgram(root, kApply);
    int sa = 0, sb = 0;
    waitpid(a, &sa, 0);
    waitpid(b, &sb, 0);
    EXPECT_TRUE(WIFEXITED(sa) && WIFEXITED(sb));
    auto got = state();
    // The journal of updates keeps clock times; compare the store and the article database.
    EXPECT_EQ(got["C/tramel/DATI.MDB"], expected["C/tramel/DATI.MDB"]);
    EXPECT_EQ(got["C/orvik/DATI.MDB"], expected["C/orvik/DATI.MDB"]);
}

TEST_F(FaultTest, CheckAndUpdateAtOnceLeaveOneOrderOfThem) {
    ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
    ASSERT_EQ(runProgram(root, {"select", "all"}).exitCode, 0);
    pid_t a = test::startProgram(root, kApply), b = test::startProgram(root, {"check"});
    waitpid(a, nullptr, 0);
    waitpid(b, nullptr, 0);
    state();  // intact
    auto r = runProgram(root, {"review", "--csv"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

}  // namespace
}  // namespace cl
