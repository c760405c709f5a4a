// Access deliveries whose names or kind are hostile: a table name with a quote, a file name that
// looks like an option, a FIFO instead of a file. Each is imported whole or refused at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "import_support.h"
#include "store/access_import.h"
#include "store/database.h"
#include "store/error.h"
#include "support/fifo_unblocker.h"

using namespace cl::store;
using cl::test::ScratchDir;

namespace {

class HostileSource : public ::testing::Test {
  protected:
    void SetUp() override {
        source = dir.path / "DATI.MDB";
        cl::test::writeFakeAccessFile(source);
        fake.tables(cl::test::tableNamesOf(DatabaseKind::Store));
        fake.schema(cl::test::accessSchemaOf(DatabaseKind::Store));
        options.toolDir = fake.dir();
        options.kind = DatabaseKind::Store;
    }
    // mdbtools read every argument that begins with "-" as an option, and refuse unknown ones.
    void strictTools() {
        for (const char* tool : {"mdb-tables", "mdb-count", "mdb-export", "mdb-schema"}) {
            auto file = fake.dir() / tool;
            std::string body = cl::test::fileBytes(file);
            body.insert(body.find('\n') + 1,
                        "for a; do case \"$a\" in -1|-H|-D|-T|-b|--*) ;; -*) echo \"option parsing "
                        "failed: Unknown option $a\" >&2; exit 1;; esac; done\n");
            cl::test::writeFile(file, body);
            std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        }
    }
    std::string importError(const std::filesystem::path& from) {
        try {
            importAccess(from, dir.path / "NUOVO.DB", options);
        } catch (const cl::Error& e) {
            return e.what();
        }
        return "<importato>";
    }
    ScratchDir dir, tools;
    cl::test::FakeMdbtools fake{tools.path / "bin"};
    std::filesystem::path source;
    ImportOptions options;
};

TEST_F(HostileSource, TableNameWithAQuoteArrivesAsItself) {
    auto names = cl::test::tableNamesOf(DatabaseKind::Store);
    names.push_back("ele\"nco");
    fake.tables(names);
    fake.schema(cl::test::accessSchemaOf(DatabaseKind::Store) +
                "CREATE TABLE [ele\"nco]\n (\n\t[voce]\t\t\tText (50)\n);\n\n");
    fake.rows("ele\"nco", 2, "\"uno\"\n\"due\"\n");
    auto report = importAccess(source, dir.path / "NUOVO.DB", options);
    EXPECT_EQ(report.rows(), 2);
    auto dbConnection = openDatabase(dir.path / "NUOVO.DB");
    Database& db = *dbConnection;
    auto st = db.prepare("SELECT group_concat(voce, ',') FROM \"ele\"\"nco\"");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).text(), "uno,due");
    st.reset();
}

TEST_F(HostileSource, FileNamedLikeAnOptionReachesTheToolsAsAFile) {
    strictTools();
    std::filesystem::rename(source, dir.path / "-rf.mdb");
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    std::string error = importError("-rf.mdb");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(error, "<importato>");
    EXPECT_TRUE(std::filesystem::exists(dir.path / "NUOVO.DB"));
}

TEST_F(HostileSource, TableNamedLikeAnOptionIsRefusedByName) {
    strictTools();
    fake.tables({"-rf"});
    auto before = cl::test::listing(dir.path);
    std::string error = importError(source);
    EXPECT_NE(error.find("La tabella \"-rf\""), std::string::npos) << error;
    EXPECT_EQ(cl::test::listing(dir.path), before);
}

TEST_F(HostileSource, FifoInsteadOfTheFileIsRefusedWithoutWaiting) {
    auto fifo = dir.path / "ATTESA.MDB";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opening a FIFO for reading waits for a writer: a wait here is the fault.
    cl::test::FifoUnblocker unblocker(fifo);
    auto start = std::chrono::steady_clock::now();
    std::string error = importError(fifo);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_NE(error.find("non è un file"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.path / "NUOVO.DB"));
}

}  // namespace
