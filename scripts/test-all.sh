#!/usr/bin/env bash
# Builds the four configurations and runs every test: the native suite, the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the Wine tests of the Windows DLL (the
# 32-bit build where this machine can run 32-bit Wine, the same code built for x86-64 always).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

for preset in native asan win32 win64; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done

status=0
for preset in native asan win32 win64; do
  echo "=== test: $preset"
  ctest --preset "$preset" -j"$jobs" || status=1
done
exit $status
