#!/usr/bin/env bash
# Derives the committed icons from pentrax2.svg, so that the build needs no
# image tool: the PNGs of the desktop icon theme (hicolor/NxN/apps, 16 to
# 256 pixels) and pentrax2.ico (16 and 32 pixels) for Windows. Needs
# rsvg-convert (librsvg2-bin) and convert (imagemagick).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" pentrax2.svg \
    -o "hicolor/${size}x${size}/apps/dev.pentrax.Pentrax2.png"
done
convert hicolor/16x16/apps/dev.pentrax.Pentrax2.png \
  hicolor/32x32/apps/dev.pentrax.Pentrax2.png pentrax2.ico
