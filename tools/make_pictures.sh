#!/usr/bin/env bash
# Draws the About window's picture and the main window's logo with ImageMagick and stores them as
# JPEG files in assets/pictures. Run it again only to change the pictures; the JPEGs are committed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=assets/pictures
mkdir -p "$out"
font=DejaVu-Sans-Bold

# Radial tick marks of a rev counter: centre x y, inner and outer radius, from and to in degrees
# (clockwise from east), count.
ticks() {
  awk -v cx="$1" -v cy="$2" -v r0="$3" -v r1="$4" -v a0="$5" -v a1="$6" -v n="$7" 'BEGIN {
    for (i = 0; i < n; i++) { a = (a0 + (a1 - a0) * i / (n - 1)) * 3.14159265 / 180
      printf "line %.1f,%.1f %.1f,%.1f ", cx + r0 * cos(a), cy + r0 * sin(a), cx + r1 * cos(a), cy + r1 * sin(a) }
  }'
}

# About: 535 x 552, a rev counter arc over a dark gradient with the product name.
convert -size 535x552 gradient:'#1b2a3a-#05080c' \
  -stroke '#5a7898' -strokewidth 6 -fill none -draw "$(ticks 267 295 150 180 150 320 18)" \
  -stroke '#e8b020' -strokewidth 6 -draw "$(ticks 267 295 150 180 330 365 4)" \
  -stroke '#d02020' -strokewidth 6 -draw "$(ticks 267 295 150 180 375 390 3)" \
  -stroke white -strokewidth 6 -draw "line 267,295 400,190" \
  -stroke none -fill white -draw "circle 267,295 267,312" \
  -font "$font" -pointsize 44 -fill white -gravity north -annotate +0+40 'Torvane_2008' \
  -font DejaVu-Sans -pointsize 20 -fill '#c8d4e0' -gravity south -annotate +0+70 'Ignition and injection unit' \
  -annotate +0+40 'Configurator' \
  -quality 90 "$out/about.jpg"

# Logo: 150 x 40 for the tool bar row.
convert -size 150x40 gradient:'#1b2a3a-#0b1218' \
  -stroke '#e8b020' -strokewidth 2 -fill none -draw "$(ticks 20 20 10 15 150 390 9)" \
  -stroke white -strokewidth 2 -draw "line 20,20 30,12" \
  -stroke none -font "$font" -pointsize 17 -fill white -annotate +42+27 'Torvane' \
  -quality 90 "$out/logo.jpg"
echo "wrote $out/about.jpg and $out/logo.jpg"
