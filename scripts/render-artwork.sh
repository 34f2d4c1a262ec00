#!/usr/bin/env bash
# Renders the editor's images from their vector sources:
#   resources/art/<name>.svg  ->  resources/img/<name>.png
# The sources are drawn at three times the editor's size; the editor reduces
# them itself. Needs rsvg-convert (Debian package librsvg2-bin), the fonts of
# fonts-liberation and Debian's python3 for the RGBA rewrite. To see the
# result as the editor shows it: scripts/artwork-preview.py OUTDIR.
set -euo pipefail

root_dir=$(cd "$(dirname "$0")/.." && pwd)
art_dir="$root_dir/resources/art"
img_dir="$root_dir/resources/img"

# name and the pixel size the editor expects (width x height, frames stacked)
images=(
  "bg 2160 1260"
  "vsliderhandle 68 120"
  "trim 103 108"
  "onoff 103 72"
  "ms 103 72"
)

if ! fc-list | grep -q "Liberation Sans"; then
  echo "render-artwork: the Liberation Sans font (fonts-liberation) is missing" >&2
  exit 1
fi

mkdir -p "$img_dir"
for entry in "${images[@]}"; do
  read -r name width height <<<"$entry"
  rsvg-convert --width "$width" --height "$height" --keep-aspect-ratio \
    --output "$img_dir/$name.png" "$art_dir/$name.svg"
done

# rsvg-convert stores fully opaque pictures as RGB; the editor's images are all
# RGBA. /usr/bin/python3 explicitly: only the distribution's interpreter is
# assumed here.
/usr/bin/python3 "$root_dir/scripts/artwork_png.py" \
  $(for entry in "${images[@]}"; do echo "$img_dir/${entry%% *}.png"; done)
