#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace cl::test {

// On a CI machine a missing tool is a failure; elsewhere the test is skipped.
inline bool onCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

inline bool haveTool(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Output of a shell command.
inline std::string shellOutput(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

}  // namespace cl::test

// Skips (or fails on CI) when `probe` does not run.
#define CL_REQUIRE_TOOL(probe, what)                                               \
    do {                                                                           \
        if (!cl::test::haveTool(probe)) {                                          \
            if (cl::test::onCi()) FAIL() << what << " manca sulla macchina di CI"; \
            GTEST_SKIP() << what << " non installato";                             \
        }                                                                          \
    } while (0)
