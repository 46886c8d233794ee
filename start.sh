#!/usr/bin/env bash
# Installs what is missing, builds Fachlese and starts it from its build folder, where the
# three documents lie beside the program.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${FACHLESE_BUILD_DIR:-$here/build}"

bash "$here/scripts/install-deps.sh" --run
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target Fachlese

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Fachlese braucht eine grafische Oberfläche, aber es ist keine Anzeige gesetzt (DISPLAY)." >&2
    echo "Ohne Bildschirm geht es mit einer virtuellen Anzeige:" >&2
    echo "    sudo apt-get install xvfb && xvfb-run -a ./start.sh" >&2
    exit 1
fi
cd "$build"
exec ./fachlese "$@"
