// Every field an operator types, tried with the texts that break programs. Each gives a clear
// message or a sensible result: never a crash, never a partial write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "support/cli_runner.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kNasty{
    "",        " ",          "abc",        "12,5",        "12.5", "1.234,5",
    "1,234.5", "5,5.5",      "-5",         "-0",          "+3",   "99999999999999999999",
    "1e308",   "-1e308",     "0,0000001",  "'",           "\"",   "%",
    "_",       "*",          "DELL'ORTO",  "50%",         "a_b",  "àèìòù€",
    "测试",    "2147483647", "2147483648", "-2147483649", "12 5", "1..2",
    ",,",      "--5",        "\t7",        "0x1A",        "NaN",  "inf"};

// Command templates; "@" is replaced by the nasty text.
const std::vector<std::vector<std::string>> kFields{
    {"check", "--limit", "@"},
    {"check", "--markup", "@"},
    {"check", "--supplier", "@"},
    {"barcode-check", "--limit", "@"},
    {"recalc", "--percent", "@"},
    {"recalc", "--markup", "@"},
    {"edit", "1", "--markup", "@"},
    {"edit", "1", "--margin", "@"},
    {"edit", "1", "--price", "@"},
    {"edit", "1", "--vat", "@", "--markup", "30"},
    {"edit", "@", "--price", "2"},
    {"toggle", "@"},
    {"review", "--csv", "--search", "description", "@"},
    {"review", "--csv", "--search", "code", "@"},
    {"review", "--csv", "--search", "supplier-code", "@"},
    {"review", "--csv", "--search", "subgroup", "@"},
    {"review", "--csv", "--search", "ean", "@"},
    {"history", "--article", "@"},
    {"history", "--ean", "@"},
    {"undo", "--run", "@"},
};

TEST(BadInput, EveryTypedFieldGivesAMessageOrAResultNeverACrash) {
    if (!test::programPath()) GTEST_SKIP() << "CL_BINARY not set";
    fs::path dir = fs::temp_directory_path() / ("cl-badinput-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::path base = dir / "base", work = dir / "work";
    ASSERT_EQ(test::runProgram(base, {"demo", "--articles", "300", "--seed", "5"}).exitCode, 0);
    ASSERT_EQ(test::runProgram(base, {"check"}).exitCode, 0);
    std::string integrity;
    auto start = test::databaseContents(base, integrity);
    test::copyTree(base, work);

    int tried = 0, refused = 0, accepted = 0;
    for (const auto& field : kFields) {
        for (const auto& nasty : kNasty) {
            std::vector<std::string> words = field;
            for (auto& w : words)
                if (w == "@") w = nasty;
            auto before = test::databaseContents(work, integrity);
            auto r = test::runProgram(work, words);
            ++tried;
            std::string what = words[0] + " with \"" + nasty + "\"";
            ASSERT_EQ(r.signal, 0) << what << " crashed";
            ASSERT_TRUE(r.exitCode >= 0 && r.exitCode <= 2) << what << ": " << r.exitCode;
            auto after = test::databaseContents(work, integrity);
            ASSERT_EQ(integrity, "") << what;
            if (r.exitCode != 0) {
                ++refused;
                EXPECT_FALSE(r.err.empty())
                    << what << " (exit " << r.exitCode << ") failed without a message: " << r.out;
                EXPECT_EQ(after, before) << what << " failed but wrote";
            } else {
                ++accepted;
            }
            if (after != before) test::copyTree(base, work);  // each try starts from the same store
        }
    }
    std::cout << "[bad-input] inputs tried " << tried << ", refused with a message " << refused
              << ", accepted " << accepted << ", crashes 0, partial writes 0" << std::endl;
    fs::remove_all(dir);
    (void)start;
}

}  // namespace
}  // namespace cl
