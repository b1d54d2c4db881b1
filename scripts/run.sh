#!/usr/bin/env bash
# Installs, builds and starts the recorder under Wine on the current X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no X display (DISPLAY is not set); start one or run this from a desktop session" >&2
  exit 2
fi
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
wine_prefix_ensure "$WINEPREFIX"
exec wine "$root/build/win/app/kelvo.exe"
