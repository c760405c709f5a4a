#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace cl::test {

// CI (CI=true) never passes by skipping: there a missing fixture or tool fails the test.
inline bool inCi() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

}  // namespace cl::test

// Skips the test when `condition` does not hold (a developer's machine without a tool), or
// fails it in CI. For a test body or SetUp.
#define CL_NEED(condition, what)                                      \
    if (!(condition)) {                                               \
        if (cl::test::inCi()) GTEST_FAIL() << (what) << " (CI=true)"; \
        GTEST_SKIP() << (what);                                       \
    }
