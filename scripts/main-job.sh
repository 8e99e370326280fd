#!/usr/bin/env bash
# The main job: builds the Linux plug-in and zqchart, and shows what the plug-in registers.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target zqchart
./build/native/zqchart actions
