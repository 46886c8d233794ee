#!/usr/bin/env bash
# Builds the Debian package of Fachlese: installs what is missing, builds the program in a
# release build and packs it with CPack. Prints the path of the .deb; install it with
#     sudo apt install ./build-deb/fachlese_<version>_<arch>.deb
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${FACHLESE_DEB_BUILD_DIR:-$here/build-deb}"

bash "$here/scripts/install-deps.sh" --package
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DFACHLESE_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target Fachlese fachlese-check fachlese-web fachlese_compressed_docs
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/fachlese_*.deb
