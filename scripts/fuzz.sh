#!/usr/bin/env bash
# Builds the number-reading fuzzer with clang's libFuzzer and runs it for SECONDS (default 120)
# over the kept corpus in fuzz/corpus/numbers, which it grows.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-120}"
command -v clang++ >/dev/null || { apt-get install -y -qq clang libclang-rt-14-dev >/dev/null; }
mkdir -p build-fuzz fuzz/corpus/numbers
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Isrc fuzz/numbers_fuzz.cpp src/app/numbers.cpp src/app/money.cpp src/store/fixed_text.cpp \
    src/store/value.cpp -o build-fuzz/numbers_fuzz
build-fuzz/numbers_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=64 fuzz/corpus/numbers
