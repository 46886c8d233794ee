#!/usr/bin/env bash
# Runs one libFuzzer target for a given time.
#
#   scripts/fuzz.sh fld|rtf|web SECONDS [libFuzzer options...]
#
# Builds the target with clang, AddressSanitizer and UndefinedBehaviorSanitizer in the folder
# build-fuzz, then fuzzes with inputs of up to 1 MB, starting from the seeds in fuzz/corpus/TARGET.
# Inputs that find new paths go to build-fuzz/corpus-TARGET (kept between runs, never into the
# repository); a crash, a broken property or a hang of more than 60 seconds is saved in
# build-fuzz/findings/ and makes the script fail. Prints libFuzzer's figures at the end
# (stat::number_of_executed_units is the number of inputs tried).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?usage: scripts/fuzz.sh fld|rtf|web SECONDS [libFuzzer options...]}"
seconds="${2:?usage: scripts/fuzz.sh fld|rtf|web SECONDS [libFuzzer options...]}"
shift 2
case "$target" in
fld | rtf | web) ;;
*) echo "unknown fuzz target: $target (fld, rtf or web)" >&2; exit 2 ;;
esac

build="${FACHLESE_FUZZ_BUILD:-$here/build-fuzz}"
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DFACHLESE_FUZZ=ON >/dev/null
fi
cmake --build "$build" --target "fuzz_$target" >/dev/null

corpus="$build/corpus-$target"
findings="$build/findings"
mkdir -p "$corpus" "$findings"
cd "$build"
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
    "$build/fuzz/fuzz_$target" -max_len=1048576 -max_total_time="$seconds" -timeout=60 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" \
    -dict="$here/fuzz/$target.dict" "$@" "$corpus" "$here/fuzz/corpus/$target"
