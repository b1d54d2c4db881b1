#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz) and runs them.
#   scripts/fuzz.sh            fuzz each target for 600 s (FUZZ_SECONDS overrides)
#   scripts/fuzz.sh --replay   only run every target once over its seed corpus (CI does this)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-fuzz}
seconds=${FUZZ_SECONDS:-600}

missing=()
for p in clang libclang-rt-14-dev cmake make; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKELVO_FUZZ=ON -DKELVO_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/fuzz" -j "$(nproc)"

# Each target with its seed corpus (fuzz/corpus/<name>) and, when present, its dictionary.
status=0
for fuzzer in "$root"/build/fuzz/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  # The corpus is fuzz/corpus/<name>, <name without its first word> or <its first word>.
  corpus=$root/fuzz/corpus/${name%%_*}
  [ -d "$root/fuzz/corpus/${name#*_}" ] && corpus=$root/fuzz/corpus/${name#*_}
  [ -d "$root/fuzz/corpus/$name" ] && corpus=$root/fuzz/corpus/$name
  dict=()
  [ -f "$root/fuzz/${name%%_*}.dict" ] && dict=(-dict="$root/fuzz/${name%%_*}.dict")
  if [ "$mode" = --replay ]; then
    echo "fuzz: replaying $(basename "$fuzzer") over $corpus"
    "$fuzzer" -runs=0 "${dict[@]}" "$corpus" >/dev/null 2>&1 || { echo "fuzz: $(basename "$fuzzer") FAILED on its corpus"; status=1; }
  else
    work=$root/build/fuzz/corpus-$name
    mkdir -p "$work"
    echo "fuzz: $(basename "$fuzzer") for $seconds s"
    "$fuzzer" -max_total_time="$seconds" -max_len=16384 "${dict[@]}" "$work" "$corpus" 2>&1 | tail -n 3 || status=1
  fi
done
exit $status
