#!/usr/bin/env bash
# Configures and builds into the folder given (default: build), with extra CMake options after it.
# Objects go through ccache with the checkout as its base folder, so that a fresh clone, a second
# worktree or CI on this machine reuses what was compiled before.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime
  export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-20G}
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$top/$dir" -j2
