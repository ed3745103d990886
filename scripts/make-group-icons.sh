#!/usr/bin/env bash
# Regenerates the icons of the main window's page groups (a gear for the
# general settings, a receiver for the hardware, a remote's buttons for the
# actions) with ImageMagick. The .ico files are committed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
res=$root/vexa/shell/res
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

icon() {  # name, then the drawing arguments for a 256x256 canvas
  local name=$1
  shift
  convert -size 256x256 xc:none "$@" "$tmp/$name-256.png"
  for size in 16 32 48; do convert "$tmp/$name-256.png" -resize ${size}x${size} "$tmp/$name-$size.png"; done
  convert "$tmp/$name-16.png" "$tmp/$name-32.png" "$tmp/$name-48.png" "$tmp/$name-256.png" "$res/$name.ico"
  echo "wrote $res/$name.ico"
}

icon group_general -fill '#5b6b7f' -draw 'circle 128,128 128,40' \
  -fill '#5b6b7f' -draw 'rectangle 112,12 144,60' -draw 'rectangle 112,196 144,244' \
  -draw 'rectangle 12,112 60,144' -draw 'rectangle 196,112 244,144' \
  -fill '#e8edf4' -draw 'circle 128,128 128,92'
icon group_hardware -fill '#1f4e8c' -draw 'roundrectangle 24,72 232,200 24,24' \
  -fill '#0d1b2a' -draw 'roundrectangle 44,100 120,172 12,12' \
  -fill '#e0312b' -draw 'circle 82,136 82,152' \
  -fill '#9fb3c8' -draw 'rectangle 140,116 212,128' -draw 'rectangle 140,144 212,156'
icon group_actions -fill '#e8edf4' -draw 'roundrectangle 76,16 180,240 28,28' \
  -stroke '#1f4e8c' -strokewidth 8 -fill none -draw 'roundrectangle 76,16 180,240 28,28' -stroke none \
  -fill '#e0312b' -draw 'circle 128,56 128,74' \
  -fill '#1f4e8c' -draw 'circle 104,112 104,126' -draw 'circle 152,112 152,126' \
  -draw 'circle 104,160 104,174' -draw 'circle 152,160 152,174' -draw 'circle 128,208 128,222'
