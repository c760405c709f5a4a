#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace cl {
namespace {

namespace fs = std::filesystem;

// Words only one engine reads. Outside src/store they would tie the program to SQLite.
const std::vector<std::pair<std::string, std::regex>>& engineWords() {
    static const std::vector<std::pair<std::string, std::regex>> words = {
        {"rowid", std::regex(R"(\browid\b)", std::regex::icase)},
        {"sqlite3_", std::regex(R"(sqlite3_)")},
        // "#pragma once" is the compiler's, not the engine's.
        {"PRAGMA", std::regex(R"((^|[^#\w])pragma(\b|_))", std::regex::icase)},
        {"ATTACH", std::regex(R"(\bATTACH\b)")},
        {"sqlite_master", std::regex(R"(\bsqlite_(master|schema|temp_master)\b)")},
        {"temporary trigger", std::regex(R"(\bTEMP(ORARY)?\s+TRIGGER\b)", std::regex::icase)},
        {"temporary table", std::regex(R"(\bTEMP(ORARY)?\s+TABLE\b)", std::regex::icase)},
    };
    return words;
}

std::string wordsIn(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const std::string body = text.str();
    std::string found;
    for (const auto& [name, pattern] : engineWords())
        if (std::regex_search(body, pattern)) found += (found.empty() ? "" : ", ") + name;
    return found;
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
    auto hits = [](const std::string& text) {
        for (const auto& [name, pattern] : engineWords())
            if (std::regex_search(text, pattern)) return true;
        return false;
    };
    for (const char* bad :
         {"ORDER BY rowid", "a.ROWID = ?", "sqlite3_step(s)", "PRAGMA user_version",
          "FROM pragma_table_info(?)", "ATTACH DATABASE ? AS x", "FROM main.sqlite_master",
          "CREATE TEMP TRIGGER t", "CREATE TEMPORARY TABLE t", "create temp table t"})
        EXPECT_TRUE(hits(bad)) << bad;
    for (const char* fine : {"db.rowIdentity()", "db->attach(file, \"fisso\")",
                             "std::vector<long long> rowids_;", "a temporary file", "#pragma once"})
        EXPECT_FALSE(hits(fine)) << fine;
}

}  // namespace
}  // namespace cl
