#!/usr/bin/env bash
# Builds every libFuzzer target of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz (or uses the build MMSFORM_FUZZ_BUILD names, which has them already), and runs
# each for a bounded time (FUZZ_SECONDS, default 60). Seeds come from fuzz/<name>/seeds when it exists, else from the shared corpus, plus fuzz/<name>/findings; the
# random seed is fixed (FUZZ_SEED, default 1) so that a run can be repeated exactly. A crash
# fails the run; its input is copied into fuzz/<name>/findings so that it is kept as a test file.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/${MMSFORM_FUZZ_BUILD:-build-fuzz}"
seconds=${FUZZ_SECONDS:-60}
corpus=${MMSFORM_CORPUS_DIR:-$(cd "$top/../shared/corpus" 2>/dev/null && pwd || true)}
if [[ -z "$corpus" && -d /work/shared/corpus ]]; then corpus=/work/shared/corpus; fi

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
failed=()
for target in "${targets[@]}"; do
  fuzzer="$build/bin/$target"
  [[ -x "$fuzzer" ]] || { echo "fuzz: $target was not built"; failed+=("$target"); continue; }
  folder=$(dirname "$(grep -l "mmsform_fuzzer($target\b" "$top"/fuzz/*/CMakeLists.txt | head -n 1)")
  work="$build/work/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$work" "$artifacts" "$folder/findings"
  seeds=("$folder/findings")
  if [[ -d "$folder/seeds" ]]; then
    seeds+=("$folder/seeds")
  elif [[ -n "$corpus" ]]; then
    seeds+=("$corpus")
  fi
  echo "== fuzz $target for ${seconds}s"
  if ! "$fuzzer" "$work" "${seeds[@]}" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 2>"$build/$target.log"; then
    tail -n 40 "$build/$target.log"
    for crash in "$artifacts"/*; do
      [[ -f "$crash" ]] && cp "$crash" "$folder/findings/" && echo "fuzz: kept $(basename "$crash") in ${folder#"$top"/}/findings"
    done
    failed+=("$target")
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build/$target.log" | tail -n 1 || true
  fi
done
if ((${#failed[@]})); then
  echo "fuzz: failures in ${failed[*]}"
  exit 1
fi
echo "fuzz: ${#targets[@]} target(s) ran without a crash"
