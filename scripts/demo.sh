#!/usr/bin/env bash
# The desk demo: builds the native tree and runs every plug-in against its emulated
# controller, then the other tools against their emulated devices. Each piece lives in
# scripts/demo.d/ and runs in name order.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh
build=${TP_BUILD_ROOT:-$top/build}/demo
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTP_TESTS=OFF -DTP_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
export BUILD="$build"
status=0
for piece in scripts/demo.d/*.sh; do
  [ -e "$piece" ] || continue
  echo "=== $(basename "$piece" .sh)"
  bash "$piece" || { echo "demo piece $piece failed" >&2; status=1; }
done
exit $status
