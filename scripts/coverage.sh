#!/usr/bin/env bash
# Line and branch coverage of the tests, per folder, with clang's source-based coverage.
#
#   scripts/coverage.sh [BUILD-DIR] [-- CTEST-ARGS...]
#
# Builds with -fprofile-instr-generate -fcoverage-mapping into BUILD-DIR (default build-cov, no
# sanitizers, no benchmarks or fuzz targets), runs the tests (every process writes its own
# profile), merges the profiles and prints one row per folder of src/, plugins/ and tools/
# (src/platform by service folder), then the total. The per-file report is left in
# BUILD-DIR/coverage/files.txt and the HTML pages in BUILD-DIR/coverage/html.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=build-cov
if [[ -n "${1:-}" && "$1" != "--" ]]; then
  dir=$1
  shift
fi
if [[ "${1:-}" == "--" ]]; then shift; fi
build="$top/$dir"
llvm_version=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
profdata=$(command -v "llvm-profdata-$llvm_version" || command -v llvm-profdata)
llvmcov=$(command -v "llvm-cov-$llvm_version" || command -v llvm-cov)

flags="-fprofile-instr-generate -fcoverage-mapping"
CC=clang CXX=clang++ "$top/scripts/build.sh" "$dir" -DMMSFORM_SANITIZE=OFF -DMMSFORM_FUZZ=OFF -DMMSFORM_BENCH=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate \
  -DCMAKE_SHARED_LINKER_FLAGS=-fprofile-instr-generate -DCMAKE_MODULE_LINKER_FLAGS=-fprofile-instr-generate

out="$build/coverage"
rm -rf "$out"
mkdir -p "$out/profiles"
export LLVM_PROFILE_FILE="$out/profiles/%p-%m.profraw"
ctest --test-dir "$build" -j2 --output-on-failure "$@" || echo "coverage: some tests failed; their coverage still counts"
# A process killed while it wrote its profile (the crash and kill tests do that on purpose) leaves
# a damaged one: it is skipped with a warning instead of failing the whole merge. The names go
# through a list file, since thousands of them would overflow a command line.
find "$out/profiles" -name '*.profraw' >"$out/profiles.txt"
"$profdata" merge -sparse --failure-mode=all --input-files="$out/profiles.txt" -o "$out/merged.profdata"

# Every program and library the tests ran, the codec plugin included.
objects=()
for file in "$build"/bin/* "$build"/lib/*.so* "$build"/device-plugins/*; do
  [[ -f "$file" && ! -L "$file" ]] && file -b "$file" | grep -q ELF && objects+=(-object "$file")
done
# Paths are kept relative to each object's build folder (ccache's base folder), so the build folder
# itself cannot be matched here; the summary below keeps only src/, plugins/ and tools/.
ignore='(^/usr/|/tests/|/bench/|/fuzz/)'
"$llvmcov" report "${objects[@]:1}" -instr-profile="$out/merged.profdata" -ignore-filename-regex="$ignore" \
  >"$out/files.txt"
"$llvmcov" export "${objects[@]:1}" -instr-profile="$out/merged.profdata" -ignore-filename-regex="$ignore" \
  -summary-only >"$out/summary.json"
"$llvmcov" show "${objects[@]:1}" -instr-profile="$out/merged.profdata" -ignore-filename-regex="$ignore" \
  -format=html -output-dir="$out/html" >/dev/null

python3 - "$out/summary.json" "$top" <<'EOF'
import json, os, sys
summary, top = sys.argv[1], sys.argv[2]
folders = {}
for data in json.load(open(summary))["data"]:
    for entry in data["files"]:
        path = os.path.normpath(entry["filename"])
        while path.startswith("../"):
            path = path[3:]
        if os.path.isabs(path):
            path = os.path.relpath(path, top)
        parts = path.split(os.sep)
        if parts[0] not in ("src", "plugins", "tools"):
            continue
        depth = 3 if parts[:2] == ["src", "platform"] and len(parts) > 3 else 2
        folder = os.sep.join(parts[:depth]) if len(parts) > depth else os.path.dirname(path) + os.sep + "(top)"
        if parts[:2] == ["src", "platform"] and len(parts) == 3:
            folder = "src/platform (top)"
        lines, branches = entry["summary"]["lines"], entry["summary"]["branches"]
        row = folders.setdefault(folder, [0, 0, 0, 0])
        row[0] += lines["covered"]; row[1] += lines["count"]
        row[2] += branches["covered"]; row[3] += branches["count"]
def percent(done, count):
    return f"{100.0 * done / count:6.1f}%" if count else "     -"
print(f"{'folder':34} {'lines':>15} {'line %':>7} {'branches':>15} {'branch %':>8}")
total = [0, 0, 0, 0]
for folder in sorted(folders):
    row = folders[folder]
    total = [a + b for a, b in zip(total, row)]
    print(f"{folder:34} {row[0]:>7}/{row[1]:<7} {percent(row[0], row[1])} {row[2]:>7}/{row[3]:<7} {percent(row[2], row[3]):>8}")
print(f"{'total':34} {total[0]:>7}/{total[1]:<7} {percent(total[0], total[1])} {total[2]:>7}/{total[3]:<7} "
      f"{percent(total[2], total[3]):>8}")
EOF
echo "coverage: per-file report in ${out#"$top"/}/files.txt, pages in ${out#"$top"/}/html/index.html"
