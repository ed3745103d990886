#!/usr/bin/env bash
# Regenerates the tray icons in vexa/shell/res with ImageMagick: the program's
# remote control with its diode dark (idle: no device), green (ready) and
# red with rays (busy: a command starts). The .ico files are committed, so
# builds need no ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# $1 name, $2 body colour, $3 diode colour, then extra drawing options
draw() {
  local name=$1 body=$2 diode=$3
  shift 3
  convert -size 128x128 xc:none \
    -fill "$body" -stroke '#1b2a3d' -strokewidth 4 -draw 'roundrectangle 34,6 94,122 18,18' \
    -stroke none -fill "$diode" -draw 'circle 64,30 64,44' \
    -fill '#1b2a3d' -draw 'circle 50,66 50,74' -draw 'circle 78,66 78,74' \
    -draw 'circle 50,92 50,100' -draw 'circle 78,92 78,100' \
    "$@" "$tmp/$name-128.png"
  for size in 16 24 32 48; do
    convert "$tmp/$name-128.png" -resize ${size}x${size} "$tmp/$name-$size.png"
  done
  convert "$tmp/$name-16.png" "$tmp/$name-24.png" "$tmp/$name-32.png" "$tmp/$name-48.png" \
    "$root/vexa/shell/res/tray_$name.ico"
  echo "wrote $root/vexa/shell/res/tray_$name.ico"
}

draw idle '#9aa3ad' '#3c4450'
draw ready '#e8edf4' '#21b24b'
draw busy '#e8edf4' '#e0312b' -stroke '#e0312b' -strokewidth 6 \
  -draw 'line 64,2 64,10' -draw 'line 40,10 46,18' -draw 'line 88,10 82,18'
