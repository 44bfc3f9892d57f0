#!/usr/bin/env bash
# Runs the libFuzzer targets of fuzz/ (built with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz, or taken from the build MMSFORM_FUZZ_BUILD names).
#
#   scripts/fuzz.sh                 CI: FUZZ_TOTAL_SECONDS (default 600) shared by all targets, one
#                                   after another, random seed FUZZ_SEED (default 1) so that a run
#                                   repeats exactly. FUZZ_SECONDS, when set, is the time of each.
#   scripts/fuzz.sh --long MINUTES  two targets at a time for about MINUTES, from a fresh corpus
#                                   grown from the seeds and a new random seed; targets with less
#                                   than ten minutes of long runs so far, and targets whose folder
#                                   or parser changed since the last long run, get three shares of
#                                   the time, the others one.
#
# Every target starts from fuzz/<name>/seeds and fuzz/<name>/findings, with fuzz/<name>/*.dict as
# its dictionary when there is one. A crash fails the run; its input is copied into
# fuzz/<name>/findings so that it is kept as a test file (CTest replays every kept input).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/${MMSFORM_FUZZ_BUILD:-build-fuzz}"
long_minutes=
if [[ "${1:-}" == "--long" ]]; then
  long_minutes=${2:?"usage: scripts/fuzz.sh --long MINUTES"}
  [[ "$long_minutes" =~ ^[0-9]+$ && "$long_minutes" -gt 0 ]] || { echo "fuzz: MINUTES must be a whole number"; exit 2; }
elif [[ -n "${1:-}" ]]; then
  echo "usage: scripts/fuzz.sh [--long MINUTES]"
  exit 2
fi

# The fuzz targets are the names given to mmsform_fuzzer() in fuzz/*/CMakeLists.txt.
mapfile -t targets < <(sed -n 's/^[[:space:]]*mmsform_fuzzer(\([A-Za-z0-9_]*\).*/\1/p' "$top"/fuzz/*/CMakeLists.txt 2>/dev/null | sort -u)
if ((${#targets[@]} == 0)); then
  echo "fuzz: no fuzz targets"
  exit 0
fi

if [[ -z "${MMSFORM_FUZZ_BUILD:-}" ]]; then
  CC=clang CXX=clang++ "$top/scripts/build.sh" build-fuzz -DMMSFORM_FUZZ=ON -DMMSFORM_SANITIZE=ON \
    -DMMSFORM_TESTS=OFF -DMMSFORM_BENCH=OFF
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

folder_of() {
  dirname "$(grep -l "mmsform_fuzzer($1\b" "$top"/fuzz/*/CMakeLists.txt | head -n 1)"
}

# The code a target reaches: its own folder and the source folders of the headers it includes.
watched_paths() {
  local folder=$1
  echo "${folder#"$top"/}"
  sed -n 's/^#include "\(.*\)\/[^/]*\.h"$/src\/\1/p' "$folder"/*.cpp | sort -u
  if grep -q '"engines/image_decode.h"' "$folder"/*.cpp; then echo plugins/image_codec; fi
}

# run_target NAME SECONDS WORK SEED LOG: one libFuzzer run; on a crash the input is kept in findings.
run_target() {
  local target=$1 seconds=$2 work=$3 seed=$4 log=$5
  local fuzzer="$build/bin/$target" folder artifacts
  folder=$(folder_of "$target")
  artifacts="$work.artifacts"
  mkdir -p "$work" "$artifacts" "$folder/findings"
  local inputs=("$folder/findings")
  [[ -d "$folder/seeds" ]] && inputs+=("$folder/seeds")
  local options=(-max_total_time="$seconds" -seed="$seed" -timeout=10 -rss_limit_mb=2048
                 -artifact_prefix="$artifacts/" -print_final_stats=1)
  local dict
  for dict in "$folder"/*.dict; do
    [[ -f "$dict" ]] && { options+=(-dict="$dict"); break; }
  done
  if "$fuzzer" "$work" "${inputs[@]}" "${options[@]}" >"$log" 2>&1; then
    return 0
  fi
  local crash
  for crash in "$artifacts"/*; do
    [[ -f "$crash" ]] && cp "$crash" "$folder/findings/" && echo "fuzz: kept $(basename "$crash") in ${folder#"$top"/}/findings"
  done
  return 1
}

# "cov: N" of libFuzzer's first status line after the seeds ran, and of its last one.
coverage_line() {
  local log=$1 start end
  start=$(grep -m 1 -oE "INITED cov: [0-9]+" "$log" | grep -oE "[0-9]+$" || true)
  end=$(grep -oE "cov: [0-9]+" "$log" | tail -n 1 | grep -oE "[0-9]+$" || true)
  echo "cov ${start:-?} -> ${end:-?}"
}

failed=()
for target in "${targets[@]}"; do
  [[ -x "$build/bin/$target" ]] || { echo "fuzz: $target was not built"; failed+=("$target"); }
done
if ((${#failed[@]})); then
  echo "fuzz: failures in ${failed[*]}"
  exit 1
fi

if [[ -z "$long_minutes" ]]; then
  count=${#targets[@]}
  seconds=${FUZZ_SECONDS:-$(( ${FUZZ_TOTAL_SECONDS:-600} / count ))}
  ((seconds >= 1)) || seconds=1
  for target in "${targets[@]}"; do
    echo "== fuzz $target for ${seconds}s"
    log="$build/$target.log"
    if run_target "$target" "$seconds" "$build/work/$target" "${FUZZ_SEED:-1}" "$log"; then
      echo "   $(coverage_line "$log"), $(grep -oE "stat::number_of_executed_units: [0-9]+" "$log" | grep -oE "[0-9]+$" || echo '?') runs"
    else
      tail -n 40 "$log"
      failed+=("$target")
    fi
  done
  if ((${#failed[@]})); then
    echo "fuzz: failures in ${failed[*]}"
    exit 1
  fi
  echo "fuzz: ${#targets[@]} target(s) ran without a crash"
  exit 0
fi

# Long run. The commit of the last long run and each target's accumulated seconds are kept beside
# the build, so that the next run knows what changed since.
state="$build/fuzz-long"
mkdir -p "$state"
last=$(cat "$state/last-commit" 2>/dev/null || true)
if [[ -n "$last" ]] && ! git -C "$top" cat-file -e "$last^{commit}" 2>/dev/null; then last=; fi
declare -A weight=()
total_weight=0
for target in "${targets[@]}"; do
  folder=$(folder_of "$target")
  weight[$target]=1
  if (($(cat "$state/$target.seconds" 2>/dev/null || echo 0) < 600)); then
    weight[$target]=3
  elif [[ -n "$last" ]]; then
    mapfile -t paths < <(watched_paths "$folder")
    if [[ -n "$(git -C "$top" diff --name-only "$last" -- "${paths[@]}")" ]]; then weight[$target]=3; fi
  fi
  total_weight=$((total_weight + weight[$target]))
done
# Two at a time: twice the wall time to share out.
budget=$((long_minutes * 60 * 2))
run_seed=${FUZZ_SEED:-$(( $(date +%s) % 1000000 + 2 ))}
stamp=$(date +%Y%m%d-%H%M%S)
echo "fuzz --long ${long_minutes} min: ${#targets[@]} targets, two at a time, seed $run_seed"
# Longest first, so that the two lanes end close together.
mapfile -t order < <(for target in "${targets[@]}"; do echo "${weight[$target]} $target"; done | sort -k1,1nr -k2 | cut -d' ' -f2)
declare -A pid_target=()
summary="$state/summary-$stamp.txt"
: >"$summary"
finish_one() {
  local done_pid=$1 target=${pid_target[$1]} rc=0
  wait "$done_pid" || rc=$?
  local log="$state/$target-$stamp.log" seconds
  seconds=$(( $(cat "$state/$target.seconds" 2>/dev/null || echo 0) + $(cat "$state/$target.planned") ))
  echo "$seconds" >"$state/$target.seconds"
  local line
  line=$(printf '%-24s %5ss  %s  (%s s over all long runs)' "$target" "$(cat "$state/$target.planned")" "$(coverage_line "$log")" "$seconds")
  if ((rc != 0)); then line+="  CRASH, see $log"; failed+=("$target"); fi
  echo "$line" | tee -a "$summary"
  unset "pid_target[$done_pid]"
}
for target in "${order[@]}"; do
  while ((${#pid_target[@]} >= 2)); do
    wait -n || true
    for p in "${!pid_target[@]}"; do
      kill -0 "$p" 2>/dev/null || finish_one "$p"
    done
  done
  seconds=$((budget * weight[$target] / total_weight))
  ((seconds >= 10)) || seconds=10
  echo "$seconds" >"$state/$target.planned"
  work="$state/work-$stamp/$target"
  run_target "$target" "$seconds" "$work" "$run_seed" "$state/$target-$stamp.log" &
  pid_target[$!]=$target
  echo "   started $target for ${seconds}s (weight ${weight[$target]})"
done
for p in "${!pid_target[@]}"; do finish_one "$p"; done
git -C "$top" rev-parse HEAD >"$state/last-commit"
echo "fuzz: summary in $summary"
if ((${#failed[@]})); then
  echo "fuzz: crashes in ${failed[*]}"
  exit 1
fi
