#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite; arguments go to ctest (`-LE slow` leaves out
# the slow harnesses). With CI=true the build treats warnings as errors, and a second build
# with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) runs the tests not
# labelled slow, and the Debian package is built, installed, run and removed.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = true ] && werror=ON
scripts/setup.sh -DCL_WERROR=$werror
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 "$@"
if [ "${CI:-}" = true ]; then
    scripts/test-sanitizers.sh
    scripts/test-package.sh
fi
