#!/usr/bin/env bash
# Installs, builds and runs every test headless: a private Xvfb display, a fresh Wine prefix
# inside the build tree, the layer check, the fuzz targets' replay, then ctest in the native
# build and in the Windows build (through Wine). Exits with the tests' result.
#   scripts/test.sh [name-regex]   runs only the tests whose name matches, in both builds
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
filter=${1:-}
ctest_args=(--output-on-failure)
[ -n "$filter" ] && ctest_args+=(-R "$filter")
"$root/scripts/setup.sh" || { echo "test: setup or build failed" >&2; exit 1; }
. "$root/scripts/wine-env.sh"

display=
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "test: no free X display number" >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export WINEPREFIX=$root/build/win/wineprefix
cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=:$display

wine_prefix_create "$WINEPREFIX" desktop
# Keep one wineserver alive for the whole run instead of one start per test, and start Wine's
# background services and desktop now: started by the first test, they would inherit its output
# pipe and ctest would wait for them until the timeout.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null

status=0
"$root/scripts/check-layers.sh" || status=1
if [ -z "$filter" ]; then
  # The fuzz targets are built with clang and replay their seed corpora (no long fuzzing here).
  "$root/scripts/fuzz.sh" --replay || status=1
fi
(cd "$root/build/native" && ctest "${ctest_args[@]}" -j "$(nproc)") || status=1
(cd "$root/build/win" && ctest "${ctest_args[@]}") || status=1
[ $status -eq 0 ] && echo "test: all passed" || echo "test: FAILED" >&2
exit $status
