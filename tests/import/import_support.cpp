#include "import_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace cl::test {

namespace {
std::filesystem::path buildDir() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}
}  // namespace

std::filesystem::path accessFixture() {
    const char* fixtures = std::getenv("CL_FIXTURES");
    std::filesystem::path dir = fixtures && *fixtures ? std::filesystem::path(fixtures)
                                                      : buildDir().parent_path() / "tests/fixtures";
    auto file = dir / "access/node-adodb.mdb";
    return std::filesystem::exists(file) ? file : std::filesystem::path();
}

std::filesystem::path programBinary() {
    const char* bin = std::getenv("CL_BINARY");
    std::filesystem::path file =
        bin && *bin ? std::filesystem::path(bin) : buildDir() / "controllo-listino";
    return std::filesystem::exists(file) ? file : std::filesystem::path();
}

void writeFakeAccessFile(const std::filesystem::path& file, char tag) {
    std::string bytes(8192, '\0');
    bytes.replace(0, 20, std::string("\0\1\0\0Standard Jet DB\0", 20));
    bytes[0x14] = 1;
    bytes.back() = tag;
    writeFile(file, bytes);
}

ScratchDir::ScratchDir() {
    static std::mt19937_64 rng{std::random_device{}()};
    path = std::filesystem::temp_directory_path() /
           ("cl-import-" + std::to_string(getpid()) + "-" + std::to_string(rng()));
    std::filesystem::create_directories(path);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::vector<std::string> listing(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void script(const std::filesystem::path& file, const std::string& body) {
    writeFile(file, "#!/bin/sh\nd=\"$(dirname \"$0\")\"\nfor a; do last=\"$a\"; done\n" + body);
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

}  // namespace

FakeMdbtools::FakeMdbtools(const std::filesystem::path& dir) : dir_(dir) {
    std::filesystem::create_directories(dir);
    script(dir / "mdb-tables", "cat \"$d/tables.txt\"\n");
    script(dir / "mdb-schema",
           "case \"$last\" in access) cat \"$d/schema.txt\";; oracle) cat \"$d/index.txt\" "
           "2>/dev/null;; esac\nexit 0\n");
    script(dir / "mdb-count", "cat \"$d/count_$last.txt\" 2>/dev/null || echo 0\n");
    script(dir / "mdb-export", "cat \"$d/export_$last.csv\" 2>/dev/null\nexit 0\n");
}

void FakeMdbtools::tables(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& n : names) text += n + "\n";
    writeFile(dir_ / "tables.txt", text);
}

void FakeMdbtools::schema(const std::string& text) {
    writeFile(dir_ / "schema.txt", text);
}
void FakeMdbtools::indexes(const std::string& text) {
    writeFile(dir_ / "index.txt", text);
}

void FakeMdbtools::rows(const std::string& table, long long declared, const std::string& csv) {
    writeFile(dir_ / ("count_" + table + ".txt"), std::to_string(declared) + "\n");
    writeFile(dir_ / ("export_" + table + ".csv"), csv);
}

std::string accessSchemaOf(store::DatabaseKind kind) {
    using T = store::FieldType;
    std::string text = "-- That file uses encoding UTF-8\n\n";
    for (const auto& t : store::schemaOf(kind)) {
        text += "CREATE TABLE [" + t.name + "]\n (\n";
        for (size_t i = 0; i < t.fields.size(); ++i) {
            const auto& f = t.fields[i];
            std::string type = f.type == T::Whole     ? "Long Integer"
                               : f.type == T::Money   ? "Currency"
                               : f.type == T::Decimal ? "Double"
                               : f.type == T::Date    ? "DateTime"
                                                      : "Text (50)";
            text += "\t[" + f.name + "]\t\t\t" + type + (i + 1 < t.fields.size() ? ", \n" : "\n");
        }
        text += ");\n\n";
    }
    return text;
}

std::vector<std::string> tableNamesOf(store::DatabaseKind kind) {
    std::vector<std::string> names;
    for (const auto& t : store::schemaOf(kind)) names.push_back(t.name);
    return names;
}

}  // namespace cl::test
