// Odd files where the program expects its own: FIFOs in place of a database or the journal, a
// symlink waiting where the report is written, an empty root. Each is refused at once with a
// message, or written around, and never followed or waited on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "support/cli_runner.h"
#include "support/fifo_unblocker.h"
#include "support/temp_dir.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

class OddFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
        root = dir.path / "root";
        ASSERT_EQ(test::runProgram(root, {"demo", "--articles", "120", "--seed", "4"}).exitCode, 0);
        ASSERT_EQ(test::runProgram(root, {"check"}).exitCode, 0);
    }
    // Puts a FIFO where `file` was, runs the command and gives the FIFO back its place.
    test::CliResult runWithFifo(const fs::path& file, const std::vector<std::string>& words) {
        fs::path kept = file.string() + ".kept";
        if (fs::exists(file)) fs::rename(file, kept);
        EXPECT_EQ(::mkfifo(file.c_str(), 0600), 0);
        test::CliResult r;
        {
            test::FifoUnblocker unblocker(file);
            auto start = std::chrono::steady_clock::now();
            r = test::runProgram(root, words);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
                << words[0] << " waited on the FIFO";
        }
        fs::remove(file);
        if (fs::exists(kept)) fs::rename(kept, file);
        return r;
    }
    test::TempDir dir;
    fs::path root;
};

TEST_F(OddFiles, FifoInPlaceOfADatabaseOrTheJournalIsRefusedAtOnce) {
    const fs::path store = root / "C/negozio/dati/DATI.MDB";
    const fs::path journal = root / "C/negozio/dati/DATI.history";
    ASSERT_EQ(test::runProgram(root, {"apply"}).exitCode, 0);  // the journal now exists
    struct Case {
        fs::path file;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases{
        {store, {"review", "--csv"}},
        {root / "C/orvik/DATI.MDB", {"check"}},
        {journal, {"labels", "--csv"}},
        {journal, {"history", "--article", "1"}},
        {journal, {"undo"}},
    };
    for (const auto& c : cases) {
        auto r = runWithFifo(c.file, c.words);
        EXPECT_EQ(r.exitCode, 1) << c.words[0] << ": " << r.out << r.err;
        EXPECT_NE(r.err.find("non è un file normale"), std::string::npos)
            << c.words[0] << ": " << r.err;
    }
}

TEST_F(OddFiles, ReportNeverWritesThroughALinkBesideTheTarget) {
    const fs::path pdf = dir.path / "report.pdf", victim = dir.path / "altro.txt";
    test::writeBytes(victim, "da non toccare");
    fs::create_symlink(victim, pdf.string() + ".part");
    auto r = test::runProgram(root, {"report", "--pdf", pdf.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::fileBytes(victim), "da non toccare");
    EXPECT_EQ(test::fileBytes(pdf).substr(0, 5), "%PDF-");
    EXPECT_TRUE(fs::is_symlink(pdf.string() + ".part")) << "someone else's file was removed";
    // Nothing of ours is left beside the report.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path)) ++entries;
    EXPECT_EQ(entries, 4);  // root, the victim, its link and the report
}

TEST_F(OddFiles, EmptyRootIsAUsageErrorAndCreatesNothing) {
    const fs::path here = dir.path / "qui";
    fs::create_directories(here);
    const auto cwd = fs::current_path();
    fs::current_path(here);
    auto r = test::runProgram("", {"init"});
    fs::current_path(cwd);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("cartella radice vuota"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(here)) << "an empty root created folders where the command ran";
}

}  // namespace
}  // namespace cl
