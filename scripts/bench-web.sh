#!/usr/bin/env bash
# Load benchmark of fachlese-web (scripts/bench-web.py): 500 pupils at once, then the check
# request's throughput against GET /robots.txt in alternation. Goals: no error, every hand-in
# on disk, the check at least half as fast as robots.txt (median of the pairs).
#
#   scripts/bench-web.sh [--schueler N] [--paare N] [--sekunden S] [--verbindungen N]
#
# Builds fachlese-web in the Release folder build-bench (unless FACHLESE_BENCH_WEB names a
# built program) and runs the benchmark on loopback with the system's Python 3.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/bench-common.sh"
program="${FACHLESE_BENCH_WEB:-}"
if [ -z "$program" ]; then
    release_build fachlese-web
    program="$here/build-bench/web/fachlese-web"
fi
# More pupils than the default limit of open files allows, each with its own connection.
ulimit -n "$(ulimit -H -n)" 2>/dev/null || true
python3 "$here/scripts/bench-web.py" --programm "$program" "$@"
