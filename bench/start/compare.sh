#!/usr/bin/env bash
# Times the host program's start, `mmsform type FILE`, against `file --mime-type FILE` on the same
# picture, whole processes interleaved in one run, and prints the median wall and CPU time of each
# and ours over theirs. `mmsform --help` runs alongside: it loads the program and its libraries
# but opens no device, so it shows how much of the start is loading alone.
#   bench/start/compare.sh [BUILD_DIR] [RUNS] [FILE]
# FILE defaults to the bench photo; file reads more of a large JPEG than of a small one, so give a
# small picture too (a received message's photo) to see the start alone.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
runs=${2:-40}
bench=${MMSFORM_BENCH_DIR:-$top/../shared/bench}
picture=${3:-$bench/photo_4000x3000.jpg}
mmsform=$build/bin/mmsform
for tool in "$mmsform" file python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[[ -f "$picture" ]] || { echo "no picture to type: $picture" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MMSFORM_DEVICE=$work/device
"$mmsform" settings >/dev/null 2>&1 || true  # creates the device once, outside the timing

# Python measures each child's wall time and its user + system time from wait4, without a shell in
# between (posix_spawn, so that no copy of Python's memory is charged to the child); the two commands alternate so that a busy machine slows both alike.
python3 - "$runs" "$mmsform" "$picture" <<'PY'
import os, statistics, sys, time
runs, mmsform, picture = int(sys.argv[1]), sys.argv[2], sys.argv[3]
commands = {"mmsform type": [mmsform, "type", picture], "file --mime-type": ["file", "--mime-type", picture],
            "mmsform --help": [mmsform, "--help"]}
wall = {name: [] for name in commands}
cpu = {name: [] for name in commands}
devnull = os.open(os.devnull, os.O_WRONLY)
for _ in range(runs):
    for name, argv in commands.items():
        start = time.perf_counter()
        pid = os.posix_spawnp(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1),
                                                                                (os.POSIX_SPAWN_DUP2, devnull, 2)])
        _, status, usage = os.wait4(pid, 0)
        wall[name].append(time.perf_counter() - start)
        cpu[name].append(usage.ru_utime + usage.ru_stime)
        if status != 0:
            sys.exit(f"{name} failed with status {status}")
print(f"{'command':<20} {'wall ms':>9} {'cpu ms':>9}")
for name in commands:
    print(f"{name:<20} {statistics.median(wall[name]) * 1e3:9.2f} {statistics.median(cpu[name]) * 1e3:9.2f}")
def ratio(ours, theirs):
    print(f"{ours + ' / ' + theirs:<36} wall {statistics.median(wall[ours]) / statistics.median(wall[theirs]):.2f}, "
          f"cpu {statistics.median(cpu[ours]) / max(statistics.median(cpu[theirs]), 1e-6):.2f}")
print()
ratio("mmsform type", "file --mime-type")
ratio("mmsform --help", "file --mime-type")
PY
