#!/usr/bin/env bash
# Installs, builds and runs every test headless: a private Xvfb display, a fresh Wine prefix
# inside the build tree, then ctest in the Windows build (through Wine) and the native build.
# Exits with the tests' result.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
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
# The fuzz targets are built and replay their seed corpora (no long fuzzing here).
"$root/scripts/fuzz.sh" --replay || status=1
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)") || status=1
(cd "$root/build/win" && ctest --output-on-failure) || status=1
[ $status -eq 0 ] && echo "test: all passed" || echo "test: FAILED" >&2
exit $status
