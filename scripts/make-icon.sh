#!/usr/bin/env bash
# Regenerates vexa/shell/res/vexa.ico (a remote control with a lit infrared
# diode) with ImageMagick. The .ico is committed, so builds need no ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
  -fill '#1f4e8c' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill '#e8edf4' -draw 'roundrectangle 76,40 180,224 28,28' \
  -fill '#e0312b' -draw 'circle 128,76 128,94' \
  -fill '#1f4e8c' -draw 'circle 104,128 104,142' -draw 'circle 152,128 152,142' \
  -draw 'circle 104,172 104,186' -draw 'circle 152,172 152,186' \
  "$tmp/vexa-256.png"
for size in 16 24 32 48 64; do
  convert "$tmp/vexa-256.png" -resize ${size}x${size} "$tmp/vexa-$size.png"
done
convert "$tmp"/vexa-16.png "$tmp"/vexa-24.png "$tmp"/vexa-32.png "$tmp"/vexa-48.png \
  "$tmp"/vexa-64.png "$tmp"/vexa-256.png "$root/vexa/shell/res/vexa.ico"
echo "wrote $root/vexa/shell/res/vexa.ico"
