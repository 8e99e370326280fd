#!/usr/bin/env bash
# Hosts that misbehave, with the DLL in real windows: callbacks that call back into it, host
# windows destroyed behind its back, message 2 while the mouse drags, a chart deleted inside its
# own timer tick. No crash, no chart window left dangling, the registry consistent.
set -euo pipefail
build_dir=${1:?build dir}
source "$(dirname "$0")/wine_run.sh"
exe="$build_dir/tests/zq_wine_hostile.exe"
zq_wine_setup "$build_dir" "$exe" || exit $?
status=0
out=$(timeout 120 "$WINE" "$exe" --plugin "$(zq_wine_path "$build_dir/zqLineChart.dll")" 2>&1 |
  tr -d '\r') || status=$?
echo "$out" | grep -v '^X connection' || true
[ "$status" -eq 0 ] || { echo "FAIL: zq_wine_hostile ended with status $status"; exit 1; }
[ "$(grep -c '^ok ' <<<"$out")" -eq 8 ] || { echo "FAIL: not every scenario ran"; exit 1; }
echo "hostile host: ok"
