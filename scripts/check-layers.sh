#!/usr/bin/env bash
# Lists every #include that points up the layer order and fails when there is one.
# From the bottom: gif, image, framework, controls, capture, recorder, editor, app; a folder
# may include its own layer and the layers below it. res/ holds resource ids and may be
# included by every layer. recorder/ reaches the editor only through the runner app/ registers.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
layers=(gif image framework controls capture recorder editor app)

rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

bad=0
cd "$root"
for dir in "${layers[@]}"; do
  [ -d "$dir" ] || continue
  own=$(rank "$dir")
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [ "$target" = "$text" ] && continue  # an include without a folder
    [ "$target" = res ] && continue
    other=$(rank "$target")
    if [ "$other" -lt 0 ] || [ "$other" -gt "$own" ]; then
      echo "$file:$line: $dir/ includes $target/ (${text#*#include })"
      bad=1
    fi
  done < <(grep -rnE '^[[:space:]]*#include[[:space:]]*"' "$dir" --include='*.h' --include='*.cpp' || true)
done
[ $bad -eq 0 ] && echo "check-layers: every include points down" || echo "check-layers: includes point up" >&2
exit $bad
