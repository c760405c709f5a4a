// Every test sees the built program, the shared folder and the fixtures kept under tests/,
// unless the environment already names others.
#include <cstdlib>

namespace {
const bool environmentSet = [] {
    setenv("CL_BINARY", CL_DEFAULT_BINARY, 0);
    setenv("CL_SHARED", CL_DEFAULT_SHARED, 0);
    setenv("CL_FIXTURES", CL_DEFAULT_FIXTURES, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();
}  // namespace
