#!/usr/bin/env bash
# Builds the fuzzers with clang's libFuzzer and runs each for SECONDS (default 120) over its
# kept corpus in fuzz/corpus/NAME, which it grows. Usage: fuzz.sh [SECONDS] [NAME...]
# (numbers, csv, xlsx_cells; all when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-120}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(numbers csv xlsx_cells)
command -v clang++ >/dev/null || { apt-get install -y -qq clang libclang-rt-14-dev >/dev/null; }
mkdir -p build-fuzz
FLAGS=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -Isrc)
PRICELIST=(src/pricelist/csv_sheet.cpp src/pricelist/text_encoding.cpp src/pricelist/sheet.cpp
           src/pricelist/amounts.cpp src/pricelist/columns.cpp src/pricelist/price_list_rows.cpp
           src/store/fixed_text.cpp)
for t in "${TARGETS[@]}"; do
    case "$t" in
        numbers)
            sources=(src/app/numbers.cpp src/app/money.cpp src/store/fixed_text.cpp
                     src/store/value.cpp); libs=(); max_len=64 ;;
        csv)
            sources=("${PRICELIST[@]}"); libs=(); max_len=4096 ;;
        xlsx_cells)
            sources=(src/pricelist/xlsx_cells.cpp src/pricelist/xml_reader.cpp
                     src/pricelist/sheet.cpp)
            libs=($(pkg-config --libs expat)); max_len=4096 ;;
        *) echo "fuzzer sconosciuto: $t" >&2; exit 2 ;;
    esac
    mkdir -p "fuzz/corpus/$t"
    clang++ "${FLAGS[@]}" "fuzz/${t}_fuzz.cpp" "${sources[@]}" "${libs[@]}" -o "build-fuzz/${t}_fuzz"
    "build-fuzz/${t}_fuzz" -max_total_time="$SECONDS_TO_RUN" -max_len="$max_len" "fuzz/corpus/$t"
done
