// Every test sees the built program and the shared fixtures folder, unless the environment
// already names others.
#include <cstdlib>

namespace {
const bool environmentSet = [] {
    setenv("CL_BINARY", CL_DEFAULT_BINARY, 0);
    setenv("CL_SHARED", CL_DEFAULT_SHARED, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();
}  // namespace
