#include <gtest/gtest.h>

#include <cstdlib>

#include "import_support.h"
#include "store/database.h"
#include "store/tool_process.h"
#include "support/need.h"

using cl::store::fileKind;
using cl::store::FileKind;
using cl::test::fileBytes;

namespace {

struct Outcome {
    int exit = -1;
    std::string out, err;
};

// The program itself, as a store would run it; stdin is not a terminal, so nobody answers.
class ImportCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        binary = cl::test::programBinary();
        CL_NEED(!binary.empty(), "program not built");
        root = dir.path / "root";
        file = dir.path / "DATI.MDB";
    }
    Outcome run(std::vector<std::string> args, std::map<std::string, std::string> env = {}) {
        args.insert(args.begin(), {"--root", root.string()});
        cl::store::ToolRunner tools(binary.parent_path(), std::move(env));
        cl::store::ToolResult result;
        Outcome r;
        r.out = tools.capture(binary.filename().string(), args, result);
        r.exit = result.exitCode;
        r.err = result.errors;
        return r;
    }
    bool realFixture() {
        return !cl::test::accessFixture().empty() &&
               !cl::store::ToolRunner().find("mdb-export").empty();
    }
    cl::test::ScratchDir dir;
    std::filesystem::path binary, root, file;
};

}  // namespace

TEST_F(ImportCommand, InPlaceOnlyWithYesOtherwiseExplainsAndChangesNothing) {
    CL_NEED(realFixture(), "Access sample or mdbtools absent");
    std::filesystem::copy_file(cl::test::accessFixture(), file);
    const auto bytes = fileBytes(file);

    auto refused = run({"import-mdb", file.string()});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_NE(refused.err.find("Nulla è stato cambiato. Per convertire " + file.string() +
                               " al suo posto ripetere il comando con --yes"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(fileBytes(file), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "DATI.MDB.access"));

    auto done = run({"--yes", "import-mdb", file.string()});
    EXPECT_EQ(done.exit, 0) << done.err;
    EXPECT_NE(done.out.find("  Users: 3 righe\n"), std::string::npos) << done.out;
    EXPECT_NE(done.out.find("L'originale Access è conservato come DATI.MDB.access."),
              std::string::npos);
    EXPECT_EQ(fileKind(file), FileKind::SQLite);
    EXPECT_EQ(fileBytes(dir.path / "DATI.MDB.access"), bytes);

    auto again = run({"--yes", "import-mdb", file.string()});
    EXPECT_EQ(again.exit, 1);
    EXPECT_NE(again.err.find("è già un database SQLite"), std::string::npos) << again.err;
}

TEST_F(ImportCommand, ToAWindowsPathWritesANewFileOnly) {
    CL_NEED(realFixture(), "Access sample or mdbtools absent");
    std::filesystem::copy_file(cl::test::accessFixture(), file);
    auto done = run({"import-mdb", file.string(), "--to", "C:\\conv\\NODE.DB"});
    EXPECT_EQ(done.exit, 0) << done.err;
    auto target = root / "C" / "conv" / "NODE.DB";
    EXPECT_EQ(fileKind(target), FileKind::SQLite);
    EXPECT_EQ(fileKind(file), FileKind::Access);
    EXPECT_NE(done.out.find("Convertito il file " + file.string() + " in C:\\conv\\NODE.DB (" +
                            target.string() + "): 1 tabelle, 3 righe."),
              std::string::npos)
        << done.out;

    const auto before = fileBytes(target);
    auto refused = run({"import-mdb", file.string(), "--to", "C:\\conv\\NODE.DB"});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_NE(refused.err.find("esiste già: non viene sovrascritto"), std::string::npos);
    EXPECT_EQ(fileBytes(target), before);
}

TEST_F(ImportCommand, WithoutMdbtoolsSaysSoAndWritesNothing) {
    cl::test::writeFakeAccessFile(file);
    auto r = run({"import-mdb", file.string(), "--to", "C:\\conv\\NODE.DB"}, {{"PATH", ""}});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err,
              "Attenzione ... Manca mdbtools: il programma \"mdb-tables\" non è stato trovato. "
              "Installare mdbtools (per esempio \"sudo apt install mdbtools\") e riprovare.\n");
    EXPECT_FALSE(std::filesystem::exists(root / "C" / "conv"));
    EXPECT_EQ(cl::test::listing(dir.path), std::vector<std::string>{"DATI.MDB"});
}

TEST_F(ImportCommand, UsageAndNonAccessFiles) {
    EXPECT_EQ(run({"import-mdb"}).exit, 2);
    EXPECT_EQ(run({"import-mdb", "a", "b"}).exit, 2);
    cl::test::writeFile(file, "testo qualsiasi");
    auto r = run({"--yes", "import-mdb", file.string()});
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("non è un database Access: nulla da convertire."), std::string::npos);
    EXPECT_EQ(fileBytes(file), "testo qualsiasi");
}
