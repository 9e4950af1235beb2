#!/usr/bin/env bash
# Derives the committed pentrax2.ico (16 and 32 pixels) from pentrax2.svg,
# so that the build needs no image tool. Needs rsvg-convert (librsvg2-bin)
# and convert (imagemagick).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 32; do
  rsvg-convert -w "$size" -h "$size" pentrax2.svg -o "$tmp/$size.png"
done
convert "$tmp/16.png" "$tmp/32.png" pentrax2.ico
