#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG. The PNGs are
# kept in the tree, so the build needs no SVG renderer; run this after
# changing the SVG (needs rsvg-convert, package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" corvel-setup.svg -o "corvel-setup-$size.png"
done
