#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "store/schema.h"

namespace cl::test {

// The real Access 2000 sample kept under tests/fixtures/access ($CL_FIXTURES, else the
// source tree's tests/fixtures beside the build folder), or empty when it is not there.
std::filesystem::path accessFixture();
// The program: $CL_BINARY, else beside this test executable; empty when absent.
std::filesystem::path programBinary();

// A file that passes as an Access (Jet 4) file by its header and size; with stand-in tools the
// import never reads further. `tag` makes two deliveries differ.
void writeFakeAccessFile(const std::filesystem::path& file, char tag = 'a');

// A scratch folder removed at the end of the test.
struct ScratchDir {
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    std::filesystem::path path;
};

std::string fileBytes(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);
// Every file name in a folder, sorted: to see that nothing was left behind.
std::vector<std::string> listing(const std::filesystem::path& dir);

// A folder of stand-in mdbtools programs that print prepared outputs, so that a test can give
// the import any schema, row count or export (texts in every script, memos, dates, binaries).
class FakeMdbtools {
  public:
    explicit FakeMdbtools(const std::filesystem::path& dir);
    void tables(const std::vector<std::string>& names);
    void schema(const std::string& accessBackendText);
    void indexes(const std::string& oracleBackendText);
    void rows(const std::string& table, long long declared, const std::string& csv);
    const std::filesystem::path& dir() const { return dir_; }

  private:
    std::filesystem::path dir_;
};

// The mdb-schema text of an Access file holding every table of the kind, and its table names.
std::string accessSchemaOf(store::DatabaseKind kind);
std::vector<std::string> tableNamesOf(store::DatabaseKind kind);

}  // namespace cl::test
