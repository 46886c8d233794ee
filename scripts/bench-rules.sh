#!/usr/bin/env bash
# Times the choice test (validation run, typing step with auto-fill, checklist) over 2,000
# varied choices. Goals: a validation run <= 2 us, a typing step <= 1 us (medians).
#
#   scripts/bench-rules.sh [ROUNDS]
#
# Builds bench_rules in the Release folder build-bench (unless FACHLESE_BENCH_RULES names a
# built program) and runs it; it prints the median of the rounds with their spread, the
# ratio to a reference round run alternately, and whether each goal is met (exit status 1
# when not).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/bench-common.sh"
program="${FACHLESE_BENCH_RULES:-}"
if [ -z "$program" ]; then
    release_build bench_rules
    program="$here/build-bench/bench/bench_rules"
fi
"$program" "$@"
