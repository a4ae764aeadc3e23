#!/usr/bin/env bash
# Draws the program's icon, a registration card with the medical cross, with ImageMagick:
# resources/icons/QorClient.png (256 px, the window icon) and QorClient.ico (16 to 256 px, the
# icon of QorClient.exe). Run by hand when the picture changes; the results are committed.
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)/resources/icons
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
    -fill '#1d5fa8' -draw 'roundrectangle 8,8 248,248 36,36' \
    -fill white -draw 'roundrectangle 44,30 212,226 14,14' \
    -fill '#d32f2f' -draw 'rectangle 104,52 152,148' -draw 'rectangle 80,76 176,124' \
    -fill '#7a8ea8' -draw 'rectangle 68,166 188,176' -draw 'rectangle 68,188 164,198' \
    "$out/QorClient.png"
for size in 16 24 32 48 64 128 256; do
    convert "$out/QorClient.png" -resize ${size}x${size} "$tmp/$size.png"
done
convert "$tmp"/16.png "$tmp"/24.png "$tmp"/32.png "$tmp"/48.png "$tmp"/64.png "$tmp"/128.png \
    "$tmp"/256.png "$out/QorClient.ico"
