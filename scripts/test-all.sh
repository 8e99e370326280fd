#!/usr/bin/env bash
# Builds the three configurations and runs every test: the native suite, the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the Wine tests of the Windows DLL.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

for preset in native asan win32; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done

status=0
for preset in native asan win32; do
  echo "=== test: $preset"
  ctest --preset "$preset" -j"$jobs" || status=1
done
exit $status
