#!/usr/bin/env bash
# Measures the RTF reader in a release build: the three documents and generated files of 1 MB
# and 10 MB in each shape, against QTextDocument::setHtml of the same text (alternating pairs,
# median and spread), what the text document alone needs for as many runs and paragraphs, then
# the peak memory of reading each shape.
#   scripts/bench-rtf.sh [PAIRS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/bench-common.sh"
build="$here/build-bench"
pairs="${1:-11}"
release_build bench_rtf
export QT_QPA_PLATFORM=offscreen
"$build/bench/bench_rtf" --pairs "$pairs"
echo "What the text document alone needs (the runs and paragraphs of the 1 MB files):"
"$build/bench/bench_rtf" --pairs "$pairs" --floor 292000
"$build/bench/bench_rtf" --pairs "$pairs" --floor 209000
echo "Peak memory of one read (fresh process each):"
for shape in paragraphs one-paragraph format-runs table-rows one-row fonts empty-paragraphs; do
    for megabytes in 1 10; do
        "$build/bench/bench_rtf" --memory "$shape" "$megabytes"
    done
done
