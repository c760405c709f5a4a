// A fresh clone holds the Access sample; CI must never pass by skipping what it lacks.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "import_support.h"

namespace {

struct Ran {
    int status = -1;
    std::string out;
};

// This very test executable, on one test that reads the sample, with the fixtures elsewhere.
Ran runSampleTestWithout(const std::string& env) {
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string cmd = "env -u CI " + env + " CL_FIXTURES=/nonexistent '" + self +
                      "' --gtest_filter=AccessImport.RealAccessFileArrivesAsMdbExportReadsIt 2>&1";
    Ran r;
    FILE* p = popen(cmd.c_str(), "r");
    std::array<char, 512> buf;
    while (size_t n = fread(buf.data(), 1, buf.size(), p)) r.out.append(buf.data(), n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(CiFixtureRule, TheSampleIsInTheRepository) {
    auto file = cl::test::accessFixture();
    ASSERT_FALSE(file.empty());
    EXPECT_NE(file.string().find("tests/fixtures/access"), std::string::npos) << file;
    EXPECT_TRUE(std::filesystem::exists(file.parent_path() / "README.md"));
}

TEST(CiFixtureRule, AMissingSampleSkipsOnADeveloperMachineAndFailsInCi) {
    Ran dev = runSampleTestWithout("");
    EXPECT_EQ(dev.status, 0) << dev.out;
    EXPECT_NE(dev.out.find("[  SKIPPED ]"), std::string::npos) << dev.out;
    Ran ci = runSampleTestWithout("CI=true");
    EXPECT_NE(ci.status, 0) << ci.out;
    EXPECT_NE(ci.out.find("(CI=true)"), std::string::npos) << ci.out;
    EXPECT_EQ(ci.out.find("[  SKIPPED ]"), std::string::npos) << ci.out;
}

}  // namespace
