#!/bin/sh
# The PNGs of the program's icon, drawn once from the SVG in the icon theme's sizes
# (rsvg-convert from Debian's librsvg2-bin). Run again after changing varolista.svg.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" varolista.svg -o "varolista-$size.png"
done
