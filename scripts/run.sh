#!/usr/bin/env bash
# The main job: set up, build, and run the host program on the bundled sample messages, on the
# device of $MMSFORM_DEVICE (default ~/.local/share/mmsform/device). Pictures go to build/demo/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build
mmsform="$top/build/bin/mmsform"
out="$top/build/demo"
mkdir -p "$out"
echo "== a received message, loaded into its slides"
"$mmsform" inspect "$top/samples/smil-and-text.mms" --slides
echo "== put into the message store, and the slides it plays"
id=$("$mmsform" store import "$top/samples/conformance-gif.mms" | tail -n 1)
"$mmsform" store show "$id" | tail -n 3
"$mmsform" store list
echo "== its picture, fitted to the screen"
"$mmsform" picture info "$top/samples/conformance-picture.gif"
"$mmsform" picture fit "$top/samples/conformance-picture.gif" "$out/picture.png" 240 320
echo "== the window toolkit, drawn to $out/gallery"
"$mmsform" ui-gallery --png "$out/gallery"
echo "== some of the device's settings (all of them in $out/settings.txt)"
"$mmsform" settings > "$out/settings.txt"
head -n 12 "$out/settings.txt"
echo "== a two-slide message read in the read form, headless; the screen at each slide in $out/read"
rm -rf "$out/read"
"$mmsform" read "$top/samples/svg-and-animated-gif.mms" --png "$out/read"
echo "== a message composed in the compose form, headless, and sent; the screen after each step in $out/compose"
rm -rf "$out/compose"
"$mmsform" compose --to "+358 40 1234567" --subject "Hello" --text "A picture for you" \
  --picture "$top/samples/conformance-picture.gif" --slide --text "Second slide" --duration 4 \
  --send --out "$out/composed.mms" --png "$out/compose"
"$mmsform" inspect "$out/composed.mms" --slides | head -n 12
echo "main job done: pictures in $out, the read message's screens in $out/read, the composer's in $out/compose"
