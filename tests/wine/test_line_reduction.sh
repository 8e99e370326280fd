#!/usr/bin/env bash
# Lines of many points a pixel column drawn through GDI under Wine, with every segment and the
# usual way: not one pixel may differ. The same through nbhost.exe and the DLL, with and without
# --draw-every-segment.
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

# A noisy wave of many points a column, flat and as a ribbon, through the DLL.
script="$out/dense.zqs"
awk 'BEGIN {
  printf "@rectangle R 200 120\nzqCreateLineChart \"R\"\nzqCreateSeriesLine \"R\" \"S\" \""
  for (i = 0; i < 8000; i++) printf "%s%d", (i ? "|" : ""), i
  printf "\" \""
  for (i = 0; i < 8000; i++) printf "%s%d", (i ? "|" : ""), int(500 + 400 * sin(i / 700)) + (i * 7919) % 150
  printf "\" \"\" \"255,0,0\"\n"
  printf "zqLineChartView3D \"R\" \"False\"\n@save R flat.png\n"
  printf "zqLineChartView3D \"R\" \"True\"\n@save R ribbon.png\n"
}' >"$script"
for way in quick every; do
  mkdir -p "$out/$way"
  option=()
  [ $way = every ] && option=(--draw-every-segment)
  (cd "$out/$way" && timeout 300 "$WINE" "$build/nbhost.exe" run "$(zq_wine_path "$script")" \
    "${option[@]}" >/dev/null 2>err.txt) || { echo "nbhost $way failed: $(cat "$out/$way/err.txt")"; status=1; }
done
for picture in flat.png ribbon.png; do
  if cmp -s "$out/quick/$picture" "$out/every/$picture"; then
    echo "nbhost $picture: the same with --draw-every-segment"
  else
    echo "nbhost $picture: differs with --draw-every-segment (both kept in $out)"
    status=1
  fi
done
exit $status
