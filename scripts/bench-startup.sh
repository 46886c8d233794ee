#!/usr/bin/env bash
# Start-up of Fachlese against a bare Qt Widgets window with a table: time from exec to the
# mapped main window, CPU time until then and peak memory, in alternating pairs inside one
# virtual X server (startup-pairs.sh of the shared benchmarks). Goal: at most 1.15 times the
# bare window's time and 1.2 times its peak memory.
#
#   scripts/bench-startup.sh [PAIRS]
#
# Builds Fachlese in the Release folder build-bench (unless FACHLESE_PROGRAM names a built
# program) and runs it from its folder, where the documents lie. The measuring script is
# looked for beside the repository (../shared/bench/startup-pairs.sh) or named by
# FACHLESE_STARTUP_PAIRS. Needs xvfb, libx11-dev and a C compiler.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/bench-common.sh"
pairs="${1:-15}"

measure="$(dirname "$0")/../../shared/bench/startup-pairs.sh"
if [ ! -f "$measure" ]; then
    measure="${FACHLESE_STARTUP_PAIRS:-}"
fi
if [ -z "$measure" ] || [ ! -f "$measure" ]; then
    echo "startup-pairs.sh not found: set FACHLESE_STARTUP_PAIRS to its path" >&2
    exit 2
fi
measure="$(cd "$(dirname "$measure")" && pwd)/$(basename "$measure")"

program="${FACHLESE_PROGRAM:-}"
if [ -z "$program" ]; then
    release_build Fachlese
    program="$here/build-bench/fachlese"
fi
program="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")"

# The window title starts with "Fachlese" ("Fachlese 1.49  IGS-Brunsmark").
cd "$(dirname "$program")"
bash "$measure" "$program" Fachlese "$pairs"
