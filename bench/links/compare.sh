#!/usr/bin/env bash
# Scans a 1 MB text of message-like prose (a link every few lines) with our ScanLinks and with
# linkify-it, the linkifier web messaging clients use, side by side in one run: linkify-it is
# installed from the npm registry into the build folder and run by node on the same file. Each side
# times its scans in-process in processor time (no start-up counted, and fair on a shared
# machine); rounds alternate between the two.
#   bench/links/compare.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
rounds=${2:-7}
scan=$build/bin/bench_link_scan
command -v node >/dev/null || { echo "node is missing: this benchmark compares with linkify-it under node" >&2; exit 1; }
command -v npm >/dev/null || { echo "npm is missing: it installs linkify-it for the comparison" >&2; exit 1; }
[ -x "$scan" ] || { echo "missing: $scan (build the target bench_link_scan)" >&2; exit 1; }
modules=$build/bench-node
if [ ! -d "$modules/node_modules/linkify-it" ]; then
  echo "installing linkify-it from the npm registry into $modules"
  npm install --silent --no-audit --no-fund --prefix "$modules" linkify-it >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$scan" --write-text "$work/text.txt" 1024
ours=() theirs=()
for ((round = 0; round < rounds; round++)); do
  ours+=("$("$scan" "$work/text.txt" 10)")
  theirs+=("$(node "$top/bench/links/linkify_timing.js" "$work/text.txt" 10 "$modules/node_modules")")
done
value() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
our_ms=$(printf '%s\n' "${ours[@]}" | value median_ms | median)
their_ms=$(printf '%s\n' "${theirs[@]}" | value median_ms | median)
echo "text: $(wc -c <"$work/text.txt") bytes"
echo "ScanLinks:  median ${our_ms} ms, $(printf '%s\n' "${ours[0]}" | value links) links"
echo "linkify-it: median ${their_ms} ms, $(printf '%s\n' "${theirs[0]}" | value links) links"
printf 'ScanLinks / linkify-it: %.2f (aim: at most 0.50)\n' "$(bc -l <<<"$our_ms / $their_ms")"
