#!/usr/bin/env bash
# Saves the README's pictures of the screens into DIR (default docs/), under the offscreen
# platform: the review screen, the editor and the recalculation panel over sample rows, then
# the pictures the flow and preview tests take when CL_SCREENSHOTS names a folder.
# Look at them before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
DIR="$(realpath -m "${1:-docs}")"
mkdir -p "$DIR"
cmake --build build --target review_screenshots tests_flow_ui tests_report_ui tests_check_ui
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
build/review_screenshots "$DIR"
CL_SCREENSHOTS="$DIR" build/tests_flow_ui >/dev/null
CL_SCREENSHOTS="$DIR" build/tests_report_ui --gtest_filter='ReportPreview*' >/dev/null
CL_SCREENSHOTS="$DIR" build/tests_check_ui \
    --gtest_filter='PriceListScreen.ColumnsGuessed*:PriceListScreen.RowsLeftOut*' >/dev/null
ls -1 "$DIR"/*.png
