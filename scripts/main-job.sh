#!/usr/bin/env bash
# The main job: builds the Linux plug-in and zqchart, shows what the plug-in registers, and
# renders every example script into out/examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target zqchart
./build/native/zqchart actions

# The examples name their pictures relative to the repository root and save into the folder.
out=out/examples
mkdir -p "$out"
for script in examples/*.zqs; do
  echo "=== $script"
  ./build/native/zqchart run "$script" --out "$out" --locale en-US --trace
done
echo "pictures in $out:"
ls "$out"
