#!/usr/bin/env bash
# Renders the artwork sources in this folder into the pictures the program ships (one folder up),
# at 1x and at 2x ("@2x", for screens at 200 %), and the desktop icons of packaging/.
# The rendered files are committed: building the program needs none of these tools.
#
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and python3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
ui=$(dirname "$here")
packaging=$(cd "$ui/../packaging" && pwd)
app_id=io.github.tarvex.Tarvex
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

svg() { rsvg-convert -w "$2" -h "$3" "$here/$1" -o "$4"; }

# The calculator body: a GIF (87a), 256 colours at most, without dithering so that flat areas
# stay flat; the margin window's body: a 24-bit Windows bitmap. Their 2x copies are PNG files.
svg form1-body.svg 216 328 "$tmp/form1.png"
convert "$tmp/form1.png" -background '#808080' -flatten +dither -colors 256 "GIF87:$ui/form1-body.gif"
svg form2-body.svg 402 328 "$tmp/form2.png"
convert "$tmp/form2.png" -background '#a7a7a7' -flatten -type TrueColor "BMP3:$ui/form2-body.bmp"
svg form1-body.svg 432 656 "$ui/form1-body@2x.png"
svg form2-body.svg 804 656 "$ui/form2-body@2x.png"

for scale in 1 2; do
    suffix=$([ $scale = 2 ] && echo "@2x" || true)
    svg logo.svg $((32 * scale)) $((32 * scale)) "$ui/logo$suffix.png"
    svg tarvex.svg $((32 * scale)) $((32 * scale)) "$ui/tarvex$suffix.png"
done

python3 "$here/pixelart.py" "$ui"

# Desktop icons: the hicolor theme's sizes, the 16-pixel one drawn on its own grid, and the
# scalable source itself; a multi-size .ico for Windows.
icons="$packaging/icons/hicolor"
for size in 16 22 24 32 48 64 128 256 512; do
    mkdir -p "$icons/${size}x${size}/apps"
    if [ $size = 16 ]; then
        svg tarvex-16.svg 16 16 "$icons/16x16/apps/$app_id.png"
    else
        svg tarvex.svg $size $size "$icons/${size}x${size}/apps/$app_id.png"
    fi
done
mkdir -p "$icons/scalable/apps"
cp "$here/tarvex.svg" "$icons/scalable/apps/$app_id.svg"
convert "$icons/16x16/apps/$app_id.png" "$icons/24x24/apps/$app_id.png" \
    "$icons/32x32/apps/$app_id.png" "$icons/48x48/apps/$app_id.png" \
    "$icons/64x64/apps/$app_id.png" "$icons/256x256/apps/$app_id.png" "$packaging/tarvex.ico"
# Strip the time stamps ImageMagick and rsvg write, so that rendering again changes nothing.
for png in "$ui"/*.png "$icons"/*/apps/*.png; do
    convert "$png" -define png:exclude-chunks=date,time -strip "$png"
done
