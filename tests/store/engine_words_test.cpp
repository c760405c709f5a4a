#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cl {
namespace {

namespace fs = std::filesystem;

bool identifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Whether `text` holds the words of `phrase` (separated by any blanks) as whole words.
// `joined` lets the last word run on into an identifier that continues with "_" (pragma_x).
bool holdsPhrase(const std::string& text, const std::vector<std::string>& phrase,
                 bool joined = false) {
    for (size_t at = text.find(phrase[0]); at != std::string::npos;
         at = text.find(phrase[0], at + 1)) {
        if (at > 0 && (identifierChar(text[at - 1]) || text[at - 1] == '#')) continue;
        size_t end = at + phrase[0].size();
        bool whole = true;
        for (size_t w = 1; w < phrase.size() && whole; ++w) {
            size_t next = end;
            while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next])))
                ++next;
            whole = next > end && text.compare(next, phrase[w].size(), phrase[w]) == 0;
            end = next + phrase[w].size();
        }
        if (!whole) continue;
        if (end == text.size() || !identifierChar(text[end]) || (joined && text[end] == '_'))
            return true;
    }
    return false;
}

// Words only one engine reads. Outside src/store they would tie the program to SQLite.
std::string engineWordsIn(const std::string& body) {
    const std::string low = lowered(body);
    std::vector<std::string> found;
    if (holdsPhrase(low, {"rowid"})) found.push_back("rowid");
    if (body.find("sqlite3_") != std::string::npos) found.push_back("sqlite3_");
    // "#pragma once" is the compiler's, not the engine's.
    if (holdsPhrase(low, {"pragma"}, true)) found.push_back("PRAGMA");
    if (holdsPhrase(body, {"ATTACH"})) found.push_back("ATTACH");
    for (const char* table : {"sqlite_master", "sqlite_schema", "sqlite_temp_master"})
        if (holdsPhrase(low, {table})) found.push_back("sqlite_master");
    for (const char* temp : {"temp", "temporary"}) {
        if (holdsPhrase(low, {temp, "trigger"})) found.push_back("temporary trigger");
        if (holdsPhrase(low, {temp, "table"})) found.push_back("temporary table");
    }
    if (holdsPhrase(low, {"collate", "nocase"})) found.push_back("COLLATE NOCASE");
    std::string out;
    for (const auto& f : found) out += (out.empty() ? "" : ", ") + f;
    return out;
}

std::string wordsIn(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string body = text.str();
    return engineWordsIn(body);
}

TEST(EngineWords, OnlyTheStoreNamesAnEngine) {
    const fs::path root = CL_SOURCE_DIR;
    std::string offenders;
    int checked = 0;
    for (const char* folder : {"src", "tools", "bench"}) {
        for (const auto& e : fs::recursive_directory_iterator(root / folder)) {
            if (!e.is_regular_file()) continue;
            const auto ext = e.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string relative = fs::relative(e.path(), root).generic_string();
            if (relative.rfind("src/store/", 0) == 0) continue;
            ++checked;
            if (auto words = wordsIn(e.path()); !words.empty())
                offenders += "\n  " + relative + ": " + words;
        }
    }
    EXPECT_GT(checked, 100) << "the source tree was not found under " << root;
    EXPECT_TRUE(offenders.empty()) << "engine words outside src/store:" << offenders;
}

TEST(EngineWords, PatternsCatchTheWordsAndSpareOurNames) {
    auto hits = [](const std::string& text) { return !engineWordsIn(text).empty(); };
    for (const char* bad :
         {"ORDER BY rowid", "a.ROWID = ?", "sqlite3_step(s)", "PRAGMA user_version",
          "FROM pragma_table_info(?)", "ATTACH DATABASE ? AS x", "FROM main.sqlite_master",
          "CREATE TEMP TRIGGER t", "CREATE TEMPORARY TABLE t", "create temp table t",
          "x = ? COLLATE NOCASE"})
        EXPECT_TRUE(hits(bad)) << bad;
    for (const char* fine :
         {"db.rowIdentity()", "db->attach(file, \"fisso\")", "std::vector<long long> rowids_;",
          "a temporary file", "#pragma once", "tempTable(x)", "collated"})
        EXPECT_FALSE(hits(fine)) << fine;
}

}  // namespace
}  // namespace cl
