#!/usr/bin/env bash
# The main job: set up, build, and run the host program on the bundled sample message.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build
mmsform="$top/build/bin/mmsform"
echo "== device settings"
"$mmsform" settings | head -n 20
echo "== media types of the bundled sample pictures"
"$mmsform" type "$top"/samples/*
