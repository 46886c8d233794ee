#!/usr/bin/env bash
# Installs what is missing, builds Fachlese and runs all tests twice: in a normal build and
# in a build with AddressSanitizer and UndefinedBehaviorSanitizer. Then fuzzes the data-file
# reader, the RTF reader and the web server's parsers for 60 seconds each (FACHLESE_SKIP_FUZZ=1
# leaves that out). Needs no display.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"

bash "$here/scripts/install-deps.sh"
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi

run_suite() {
    local build="$1" exclude="$2"; shift 2
    cmake -S "$here" -B "$build" "${generator[@]}" -DFACHLESE_WERROR=ON "$@"
    cmake --build "$build" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs" ${exclude:+-E "$exclude"}
}

run_suite "$here/build-test" "" -DCMAKE_BUILD_TYPE=Debug
if [ "${FACHLESE_SKIP_SANITIZERS:-0}" != "1" ]; then
    # The installation and the package are checked once, in the normal build, and so is the
    # web server's memory under a flood (the sanitizers' shadow memory would swamp it).
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        run_suite "$here/build-sanitize" "^(install_check|deb_package|web_flood)$" -DCMAKE_BUILD_TYPE=Debug -DFACHLESE_SANITIZE=ON
fi
if [ "${FACHLESE_SKIP_FUZZ:-0}" != "1" ]; then
    bash "$here/scripts/fuzz.sh" fld 60
    bash "$here/scripts/fuzz.sh" rtf 60
    bash "$here/scripts/fuzz.sh" web 60
fi
