#!/usr/bin/env bash
# Renders the program icon's PNG sizes from the SVG (needs rsvg-convert from
# librsvg2-bin). The PNGs are kept in the repository, so building and
# installing never need this; run it again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.example.quorvane.svg -o "png/quorvane-$size.png"
done
