#!/usr/bin/env bash
# Times `mmsform picture` side by side with the tools a user would otherwise pick, whole processes,
# interleaved in one run, and prints the median of each and the ratios to ours.
#   bench/pictures/compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
runs=${2:-15}
bench=${MMSFORM_BENCH_DIR:-$top/../shared/bench}
mmsform=$build/bin/mmsform
photo=$bench/photo_4000x3000.jpg
anim=$bench/anim_320x240x20.gif
for tool in "$mmsform" djpeg cjpeg pamscale convert vipsthumbnail gifsicle; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MMSFORM_DEVICE=$work/device
"$mmsform" settings >/dev/null 2>&1 || true  # creates the device once, outside the timing

declare -A commands=(
  [fit640_mmsform]="'$mmsform' picture resize '$photo' '$work/a.jpg' 640 480 --quality 90"
  [fit640_djpeg_pipeline]="djpeg -scale 1/4 '$photo' | pamscale -xyfit 640 480 | cjpeg -quality 90 > '$work/b.jpg'"
  [fit640_imagemagick]="convert -define jpeg:size=640x480 '$photo' -resize 640x480 -quality 90 '$work/c.jpg'"
  [fit640_vipsthumbnail]="vipsthumbnail '$photo' -s 640x480 -o '$work/d.jpg[Q=90]'"
  [screen_mmsform]="'$mmsform' picture fit '$photo' '$work/e.bmp' 240 320"
  [screen_djpeg]="djpeg -scale 1/8 '$photo' > '$work/f.ppm'"
  [gif_mmsform]="'$mmsform' picture resize '$anim' '$work/g.gif' 160 120"
  [gif_gifsicle]="gifsicle --scale 0.5 '$anim' > '$work/h.gif'"
)
names=(fit640_mmsform fit640_djpeg_pipeline fit640_imagemagick fit640_vipsthumbnail screen_mmsform screen_djpeg
       gif_mmsform gif_gifsicle)
declare -A times
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do
    start=$(date +%s%N)
    bash -c "${commands[$name]}" >/dev/null 2>&1
    end=$(date +%s%N)
    times[$name]+="$(((end - start) / 1000)) "
  done
done
median() { tr ' ' '\n' <<<"$1" | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
declare -A medians
printf '%-24s %10s\n' "command" "median ms"
for name in "${names[@]}"; do
  medians[$name]=$(median "${times[$name]}")
  printf '%-24s %10.1f\n' "$name" "$(bc -l <<<"${medians[$name]} / 1000")"
done
ratio() { printf '%-52s %6.2f\n' "$1 / $2" "$(bc -l <<<"${medians[$1]} / ${medians[$2]}")"; }
echo
ratio fit640_djpeg_pipeline fit640_mmsform
ratio fit640_imagemagick fit640_mmsform
ratio fit640_vipsthumbnail fit640_mmsform
ratio screen_mmsform screen_djpeg
ratio gif_mmsform gif_gifsicle
