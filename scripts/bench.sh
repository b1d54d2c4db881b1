#!/usr/bin/env bash
# Runs the benchmarks: GIF encoding against Debian's libgd and the writer's whole pipeline
# on one thread and on every core (native), then the screen capture at 30 frames per second and
# the Edit dialog on 1,000 frames (under Wine on a private display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
dpkg-query -W -f='${Status}' libgd3 2>/dev/null | grep -q "ok installed" ||
  { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends libgd3; }
. "$root/scripts/wine-env.sh"

echo "== GIF encoding: ours against libgd"
"$root/build/native/bench/gif_encode_bench"
echo
echo "== Writer pipeline: 600 frames of 800 x 600, one thread against every core (same bytes)"
"$root/build/native/bench/pipeline_bench" --frames 600 --size 800x600
echo

# Xvfb picks a free display number itself, so a test run at the same time never shares it.
display_file=$(mktemp)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export WINEPREFIX=$root/build/win/bench-prefix DISPLAY=:$(tr -dc 0-9 <"$display_file")
wine_prefix_ensure "$WINEPREFIX"
echo "== Screen capture"
wine "$root/build/win/bench/capture_bench.exe" "${1:-5}"
echo
echo "== Edit dialog: opening on 1,000 frames of 800 x 600, scrolling its frame strip"
wine "$root/build/win/bench/editor_bench.exe"
