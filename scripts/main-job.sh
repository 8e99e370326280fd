#!/usr/bin/env bash
# The main job: builds the Linux plug-in and zqchart, shows what the plug-in registers, renders
# every example script into out/examples/, and runs the engine library's dashboard example,
# which writes its charts into out/engine/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target zqchart zq_dashboard
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

echo "=== examples/engine/dashboard.cpp"
./build/native/zq_dashboard out/engine
ls out/engine
