// The journal of updates among files as other tools and other processes leave them: a store in
// WAL mode, a folder whose name a URI would read, two first updates at once, a demo store made
// again over an old one.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/database.h"
#include "support/cli_runner.h"

namespace cl {
namespace {

namespace fs = std::filesystem;
using test::runProgram;

const std::vector<std::string> kApply{"apply", "--updates", "cost,markup,price,create"};

std::string fileText(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class JournalFiles : public ::testing::Test {
  protected:
    fs::path dir, root;
    void SetUp() override {
        if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
        dir = fs::temp_directory_path() / ("cl-journal-files-" + std::to_string(getpid()));
        fs::remove_all(dir);
        root = dir / "root";
        ASSERT_EQ(runProgram(root, {"demo", "--articles", "300", "--seed", "5"}).exitCode, 0);
        ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
        ASSERT_EQ(runProgram(root, {"select", "all"}).exitCode, 0);
    }
    void TearDown() override { fs::remove_all(dir); }
    static fs::path storeDir(const fs::path& root) { return root / "C/negozio/dati"; }
    // The first article of the labels list, for the price history.
    static std::string firstLabelledArticle(const fs::path& root) {
        auto r = runProgram(root, {"labels", "--csv"});
        auto line = r.out.substr(r.out.find('\n') + 1);
        return line.substr(0, line.find(','));
    }
};

TEST_F(JournalFiles, ReadOnlyCommandsReadAStoreAndJournalLeftInWalMode) {
    ASSERT_EQ(runProgram(root, kApply).exitCode, 0);
    ASSERT_EQ(runProgram(root, {"check"}).exitCode, 0);
    std::string article = firstLabelledArticle(root);
    ASSERT_FALSE(article.empty());
    for (const char* name : {"DATI.MDB", "DATI.history"}) {
        auto dbConnection = store::openDatabase(storeDir(root) / name);
        store::Database& db = *dbConnection;
        db.exec("PRAGMA journal_mode=WAL");
    }
    auto labels = runProgram(root, {"labels", "--csv"});
    EXPECT_EQ(labels.exitCode, 0) << labels.err;
    EXPECT_NE(labels.out.find("\n" + article + ","), std::string::npos);
    auto history = runProgram(root, {"history", "--article", article});
    EXPECT_EQ(history.exitCode, 0) << history.err;
    auto report = runProgram(root, {"report", "--pdf", (dir / "r.pdf").string()});
    EXPECT_EQ(report.exitCode, 0) << report.err;
    // A command that writes puts the store back in rollback-journal mode and works too.
    auto undo = runProgram(root, {"undo"});
    EXPECT_EQ(undo.exitCode, 0) << undo.err;
}

TEST_F(JournalFiles, AFolderNameAUriWouldReadIsAPlainFolder) {
    fs::path odd = dir / "negozio #2 %41 ?mode=rw&x";
    test::copyTree(root, odd);
    ASSERT_EQ(runProgram(odd, kApply).exitCode, 0);
    std::string article = firstLabelledArticle(odd);
    ASSERT_FALSE(article.empty());
    auto history = runProgram(odd, {"history", "--article", article, "--csv"});
    EXPECT_EQ(history.exitCode, 0) << history.err;
    EXPECT_NE(history.out.find("\n" + article + ",1,"), std::string::npos) << history.out;
    EXPECT_FALSE(fs::exists(dir / "negozio ")) << "no other file opened or made";
}

TEST_F(JournalFiles, TwoFirstUpdatesAtOnceNeverFailOnTheJournalsFile) {
    for (int round = 0; round < 3; ++round) {
        fs::path copy = dir / ("round" + std::to_string(round));
        test::copyTree(root, copy);
        std::vector<pid_t> pids;
        for (int i = 0; i < 2; ++i) {
            std::vector<std::string> words{test::programPath(), "--root",     copy.string(),
                                           "--today",           "2026-12-08", "--yes"};
            words.insert(words.end(), kApply.begin(), kApply.end());
            pids.push_back(test::spawnCommand(words, "/dev/null",
                                              (copy / ("err" + std::to_string(i))).string()));
        }
        int done = 0;
        for (size_t i = 0; i < pids.size(); ++i) {
            int status = 0;
            waitpid(pids[i], &status, 0);
            std::string err = fileText(copy / ("err" + std::to_string(i)));
            EXPECT_EQ(err.find("I/O"), std::string::npos) << err;
            EXPECT_EQ(err.find("lettura o scrittura"), std::string::npos) << err;
            done += WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        EXPECT_GE(done, 1);
        auto labels = runProgram(copy, {"labels", "--csv"});
        EXPECT_EQ(labels.exitCode, 0) << labels.err;
    }
}

TEST_F(JournalFiles, ADemoMadeAgainForgetsTheOldStoresUpdates) {
    ASSERT_EQ(runProgram(root, kApply).exitCode, 0);
    ASSERT_TRUE(fs::exists(storeDir(root) / "DATI.history"));
    auto again = runProgram(root, {"demo", "--articles", "300", "--seed", "5"});
    EXPECT_EQ(again.exitCode, 1);  // refused without --force, the old journal kept
    EXPECT_TRUE(fs::exists(storeDir(root) / "DATI.history"));
    ASSERT_EQ(runProgram(root, {"demo", "--articles", "300", "--seed", "6", "--force"}).exitCode,
              0);
    EXPECT_FALSE(fs::exists(storeDir(root) / "DATI.history"));
    auto labels = runProgram(root, {"labels", "--csv"});
    EXPECT_EQ(labels.exitCode, 1);
    EXPECT_NE(labels.err.find("Nessun aggiornamento"), std::string::npos) << labels.err;
    auto undo = runProgram(root, {"undo"});
    EXPECT_EQ(undo.exitCode, 1);
}

}  // namespace
}  // namespace cl
