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

# Xvfb picks a free display number itself and reports it: two runs started together (another
# checkout's tests, say) must never share a screen, where one's clicks would land on the other's.
display_file=$(mktemp)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
export WINEPREFIX=$root/build/win/wineprefix
cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
display=$(tr -dc 0-9 <"$display_file")
[ -n "$display" ] || { echo "test: Xvfb did not start" >&2; exit 1; }
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
