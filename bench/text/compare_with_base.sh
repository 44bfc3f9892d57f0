#!/usr/bin/env bash
# Times the text screens (bench_text) and the full-screen repaint (bench_window) of this checkout
# against those of an older commit, side by side in one run: the older commit is checked out as a
# second worktree, both are built alike (optimised, no sanitizers), and the benchmarks run in
# alternating rounds. Prints each benchmark's median time on both sides and their ratio.
#   bench/text/compare_with_base.sh [BASE_COMMIT]   (default: where this branch left main)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
base_commit=${1:-$(git -C "$top" merge-base HEAD main)}
if [[ $(git -C "$top" rev-parse "$base_commit") == $(git -C "$top" rev-parse HEAD) ]]; then
  echo "compare_with_base: name the commit before the change to compare with" >&2
  exit 2
fi
base_tree=${MMSFORM_BASE_TREE:-$top/../$(basename "$top")-base}
rounds=${ROUNDS:-3}
if [[ -d $base_tree ]]; then
  git -C "$base_tree" checkout -q --detach "$base_commit"
else
  git -C "$top" worktree add -q --detach "$base_tree" "$base_commit"
fi
# The text-screen benchmark may be newer than the base: it is built there from this checkout's copy
# (it uses only the drawing calls, and the caches only where they exist).
mkdir -p "$base_tree/bench/text"
cp "$top/bench/text/CMakeLists.txt" "$top/bench/text/text_screen_benchmark.cpp" "$base_tree/bench/text/"

build() {
  local tree=$1
  local launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$tree" CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -S "$tree" -B "$tree/build-bench" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DMMSFORM_TESTS=OFF -DMMSFORM_FUZZ=OFF -DMMSFORM_SANITIZE=OFF >/dev/null
  cmake --build "$tree/build-bench" -j2 --target bench_text bench_window >/dev/null
}
build "$base_tree"
build "$top"

out=$(mktemp -d)
filter='TextScreen|FullScreenRepaint'
for ((round = 1; round <= rounds; ++round)); do
  for side in base ours; do
    tree=$top
    [[ $side == base ]] && tree=$base_tree
    for program in bench_text bench_window; do
      "$tree/build-bench/bin/$program" --benchmark_filter="$filter" --benchmark_min_time=0.5 \
        --benchmark_format=json --benchmark_out="$out/$side-$program-$round.json" >/dev/null
    done
  done
done
python3 - "$out" <<'PY'
import glob, json, os, statistics, sys
times = {}
for path in glob.glob(os.path.join(sys.argv[1], "*.json")):
    side = os.path.basename(path).split("-")[0]
    for b in json.load(open(path))["benchmarks"]:
        times.setdefault(b["name"], {}).setdefault(side, []).append(b["real_time"])
print(f"{'benchmark':45} {'base ms':>9} {'ours ms':>9} {'ours/base':>9}")
for name in sorted(times):
    base, ours = statistics.median(times[name]["base"]), statistics.median(times[name]["ours"])
    print(f"{name:45} {base:9.3f} {ours:9.3f} {ours / base:9.2f}")
PY
rm -rf "$out"
