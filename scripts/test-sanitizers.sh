#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the tests not labelled slow there (arguments go to ctest). Needs what
# scripts/setup.sh installs; uses ccache when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCL_SANITIZE=address,undefined -DCL_WERROR=ON \
    "${launcher[@]}" >/dev/null
cmake --build build-asan -j2
# A finding aborts the process, so that it can never pass for an ordinary exit status 1.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=abort_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan --output-on-failure -j2 -LE slow "$@"
