#!/usr/bin/env bash
# Times `mmsform media info`, `mmsform media frame` and SVG rendering side by side with ffprobe,
# ffmpeg and rsvg-convert on the media corpus, whole processes, interleaved in one run, and prints
# the median of each and the ratios to ours; then the processor time of playing an AMR and an MP3
# sound headless on the real clock, as a share of one core.
#   bench/media/compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-9}
corpus=${MMSFORM_CORPUS_DIR:-$top/../shared/corpus}/media
[[ -d $corpus || -n ${MMSFORM_CORPUS_DIR:-} ]] || corpus=/work/shared/corpus/media
[[ -f $corpus/MANIFEST.md ]] || { echo "no media corpus at $corpus" >&2; exit 1; }
mmsform=$build/bin/mmsform
for tool in "$mmsform" ffprobe ffmpeg rsvg-convert bc; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MMSFORM_DEVICE=$work/device
"$mmsform" settings >/dev/null 2>&1 || true  # creates the device once, outside the timing

sounds="amrnb-122-sweep.amr amrnb-dtx-modes.amr amrwb-1265-sweep.awb aac-adts-22k-mono.aac aac-lc-44k-stereo.m4a
        mp3-cbr-44k-stereo.mp3 mp3-vbr-22k-mono.mp3 pcm16-8k-mono.wav ima-adpcm-8k-mono.wav qcelp13k-eighth.qcp"
videos="h263-qcif-amrnb.3gp h264-qvga-aac.mp4 h264-rotate90cw-aac.mp4 mpeg4-odd-161x97.mp4 mpeg4-qvga-aac.mp4"
drawings="shapes.svg flower.svgz gradients-mm.svg text-generic-fonts.svg viewbox-only.svg external-refs.svg"

each() {  # each COMMAND_WITH_{}: the command once per file of the list that follows
  local template=$1
  shift
  local out=""
  for file in "$@"; do out+="${template//\{\}/$corpus/$file}; "; done
  printf '%s' "$out"
}
declare -A commands=(
  [info_mmsform]="$(each "'$mmsform' media info '{}'" $sounds $videos)"
  [info_ffprobe]="$(each "ffprobe -v error -show_format '{}'" $sounds $videos)"
  [frame_mmsform]="$(each "'$mmsform' media frame '{}' '$work/a.png'" $videos)"
  [frame_ffmpeg]="$(each "ffmpeg -nostdin -v error -y -i '{}' -frames:v 1 '$work/b.png'" $videos)"
  [svg_mmsform]="$(each "'$mmsform' picture fit '{}' '$work/c.png' 240 320" $drawings)"
  [svg_rsvg_convert]="$(each "rsvg-convert -w 240 -h 320 -a -o '$work/d.png' '{}'" $drawings)"
)
names=(info_mmsform info_ffprobe frame_mmsform frame_ffmpeg svg_mmsform svg_rsvg_convert)
# Wall time, and processor time (user + system of the command's processes), which a loaded machine
# disturbs less.
declare -A times cpu
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do
    start=$(date +%s%N)
    /usr/bin/time -f "%U %S" -o "$work/cpu" bash -c "${commands[$name]}" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times[$name]+="$(((end - start) / 1000)) "
    read -r user system < <(tail -n 1 "$work/cpu")
    cpu[$name]+="$(bc -l <<<"($user + $system) * 1000000" | cut -d. -f1) "
  done
done
median() { tr ' ' '\n' <<<"$1" | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
declare -A medians cpuMedians
printf '%-24s %10s %10s\n' "command" "wall ms" "cpu ms"
for name in "${names[@]}"; do
  medians[$name]=$(median "${times[$name]}")
  cpuMedians[$name]=$(median "${cpu[$name]}")
  printf '%-24s %10.1f %10.1f\n' "$name" "$(bc -l <<<"${medians[$name]} / 1000")" \
    "$(bc -l <<<"${cpuMedians[$name]} / 1000")"
done
ratio() {
  printf '%-40s %6.2f wall %6.2f cpu\n' "$1 / $2" "$(bc -l <<<"${medians[$1]} / ${medians[$2]}")" \
    "$(bc -l <<<"${cpuMedians[$1]} / ${cpuMedians[$2]}")"
}
echo
ratio info_ffprobe info_mmsform
ratio frame_ffmpeg frame_mmsform
ratio svg_rsvg_convert svg_mmsform
echo
# Playback in real time: processor seconds (user + system) over wall seconds, process start included.
for file in amrnb-122-sweep.amr mp3-cbr-44k-stereo.mp3; do
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$mmsform" media play "$corpus/$file" --real-clock >/dev/null || true
  read -r wall user system < <(tail -n 1 "$work/time")
  printf '%-40s %5.1f%% of one core over %ss\n' "play $file" "$(bc -l <<<"($user + $system) * 100 / $wall")" "$wall"
done
