#!/usr/bin/env bash
# Draws the tool bar icons (24 x 24 PNG) with ImageMagick: each is drawn at 48 x 48 and scaled down,
# so the edges are smooth. Run from the repository root; the PNG files are committed.
set -euo pipefail
out=assets/icons
mkdir -p "$out"
draw() {  # name, drawing primitives
    convert -size 48x48 xc:none -strokewidth 3 "${@:2}" -resize 24x24 "$out/$1.png"
}
draw open  -fill '#f2c14e' -stroke '#8a6a1f' -draw "path 'M4,12 L18,12 L22,16 L42,16 L42,40 L4,40 Z'" \
           -fill '#ffd970' -draw "path 'M4,40 L12,22 L46,22 L40,40 Z'"
draw new   -fill white -stroke '#44546a' -draw "path 'M10,4 L30,4 L40,14 L40,44 L10,44 Z'" \
           -fill '#dfe6ee' -draw "path 'M30,4 L30,14 L40,14'" \
           -stroke '#2f9e44' -strokewidth 4 -draw "line 34,30 34,46" -draw "line 26,38 42,38"
draw save  -fill '#3a6ea5' -stroke '#1d3d5e' -draw "path 'M6,6 L38,6 L44,12 L44,44 L6,44 Z'" \
           -fill white -stroke none -draw "rectangle 13,9 35,20" -fill '#dfe6ee' -draw "rectangle 13,28 37,42" \
           -fill '#1d3d5e' -draw "rectangle 29,11 33,18"
draw print -fill white -stroke '#44546a' -draw "rectangle 14,4 34,18" \
           -fill '#8c96a3' -draw "roundrectangle 4,16 44,34 4,4" \
           -fill white -draw "rectangle 12,28 36,44" -stroke '#8c96a3' -strokewidth 2 \
           -draw "line 16,34 32,34" -draw "line 16,39 30,39" -fill '#2f9e44' -stroke none -draw "circle 38,22 40,22"
draw undo  -fill none -stroke '#1d3d5e' -strokewidth 6 -draw "path 'M16,18 L28,18 C46,18 46,42 28,42 L18,42'" \
           -fill '#1d3d5e' -stroke none -draw "path 'M3,18 L18,6 L18,30 Z'"
draw redo  -fill none -stroke '#1d3d5e' -strokewidth 6 -draw "path 'M32,18 L20,18 C2,18 2,42 20,42 L30,42'" \
           -fill '#1d3d5e' -stroke none -draw "path 'M45,18 L30,6 L30,30 Z'"
