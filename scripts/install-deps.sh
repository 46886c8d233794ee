#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Fachlese need, where they
# are missing. Safe to run again: an installed package is left alone.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n
    libgl-dev
    fonts-liberation2 fonts-dejavu-core
    poppler-utils
    clang libclang-rt-14-dev
    libmicrohttpd-dev
)
# The checks of the installation and the Debian package.
test_packages=(
    desktop-file-utils appstream shared-mime-info libxml2-utils libfile-mimeinfo-perl xdg-utils
    lintian dpkg-dev file man-db
    xvfb xauth openbox xdotool wmctrl x11-utils
    chromium-headless-shell chromium chromium-driver python3-selenium
)
case "${1:-}" in
    --run) packages+=(qt6-qpa-plugins qt6-gtk-platformtheme) ;;
    --package) packages+=(dpkg-dev file) ;;
    "") packages+=("${test_packages[@]}") ;;
    *) echo "install-deps.sh: unbekannte Option ${1}" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installiere fehlende Pakete: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
