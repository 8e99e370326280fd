#!/usr/bin/env bash
# Lines of many points a pixel column drawn through GDI under Wine, with every segment and the
# usual way: not one pixel may differ.
# Usage: test_line_reduction.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
exe="$build/tests/zq_line_reduction_check.exe"
[ -f "$exe" ] || { echo "missing $exe: build the zq_line_reduction_check target"; exit 1; }

source "$source_dir/tests/wine/wine_run.sh"
zq_wine_setup "$build" "$exe" || exit $?

out="$build/tests/wine-output/line_reduction"
rm -rf "$out" && mkdir -p "$out"
timeout 300 "$WINE" "$exe" "$(zq_wine_path "$out")"
status=$?
[ $status -eq 0 ] || echo "pictures of the cases that differ are in $out"
exit $status
