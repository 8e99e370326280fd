#!/usr/bin/env bash
# Random action sequences through the DLL in a real Win32 message loop: two seeds, half a
# minute each. A crash, a hang or an action answering what it never answers fails.
set -euo pipefail
build_dir=${1:?build dir}
source "$(dirname "$0")/wine_run.sh"
exe="$build_dir/tests/zq_wine_stress.exe"
zq_wine_setup "$build_dir" "$exe" || exit $?
dll=$(zq_wine_path "$build_dir/zqLineChart.dll")

for seed in 1 20240611; do
  status=0
  out=$(timeout 180 "$WINE" "$exe" --plugin "$dll" --seed "$seed" --seconds 30 2>&1 \
    | tr -d '\r') || status=$?
  echo "$out" | grep -v '^X connection' || true
  [ "$status" -ne 124 ] || { echo "FAIL: seed $seed did not finish in time"; exit 1; }
  [ "$status" -eq 0 ] || { echo "FAIL: seed $seed ended with status $status"; exit 1; }
  grep -q '^actions	[1-9]' <<<"$out" || { echo "FAIL: seed $seed ran no actions"; exit 1; }
done
echo "wine stress: ok"
