#!/usr/bin/env bash
# Renders the program icon (resources/pictures/book.svg) as the PNG sizes of the desktop's icon
# theme into packaging/icons/. Run it after changing the picture; the PNGs are kept in the tree
# so that building needs no SVG renderer. Needs rsvg-convert (package librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/resources/pictures/book.svg" \
        -o "$here/packaging/icons/fachlese-$size.png"
done
