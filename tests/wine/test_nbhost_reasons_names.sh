#!/usr/bin/env bash
# nbhost.exe and the DLL under Russian settings: (1) nbhost run --trace hears the reasons the
# DLL sends with OutputDebugString and prints the same lines as zqchart; (2) Cyrillic names
# work everywhere: a script and an output folder with Cyrillic names, and pictures named
# фон.bmp and фон.jpg that zqChartImageInside loads (the same bitmap under a Latin name gives
# the same chart).
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
native=${ZQ_NATIVE_BUILD:-$source_dir/build/native}
[ -x "$native/zqchart" ] || { echo "SKIP: $native/zqchart is missing (build the native preset first)"; exit 77; }
if ! locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$'; then
  echo "FAIL: the ru_RU.UTF-8 locale is missing (scripts/setup.sh generates it)"
  exit 1
fi
source "$source_dir/tests/wine/wine_run.sh"
# A prefix of its own: the debug-output buffer is one per Wine server.
zq_wine_setup "$build" "$build/nbhost.exe" wine-prefix-texts || exit $?
export LC_ALL=ru_RU.UTF-8
nbhost() { timeout 300 "$WINE" "$build/nbhost.exe" "$@"; }

out="$build/tests/wine-output/texts"
rm -rf "$out" && mkdir -p "$out"
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

# (1) The reasons, line for line as zqchart prints them.
cd "$source_dir" || exit 1
script=tests/data/scripts/reasons.zqs
"$native/zqchart" run "$script" --trace --locale ru-RU --out "$out" >"$out/zqchart.txt" 2>&1 ||
  fail "zqchart failed: $(cat "$out/zqchart.txt")"
nbhost run "$script" --trace --out "$(zq_wine_path "$out")" 2>&1 | tr -d '\r' |
  grep -v '^X connection' >"$out/nbhost.txt"
grep -q ': no chart over the rectangle' "$out/nbhost.txt" || fail "nbhost heard no reasons"
diff "$out/zqchart.txt" "$out/nbhost.txt" || fail "the hosts trace differently"

# (2) Cyrillic names.
dir="$out/папка"
mkdir -p "$dir/картинки"
cp examples/background.bmp "$dir/фон.bmp"
cp examples/background.bmp "$dir/plain.bmp"
cp examples/paper.jpg "$dir/фон.jpg"
cat >"$dir/график.zqs" <<'SCRIPT'
@rectangle Диаграмма 300 200
zqCreateLineChart "Диаграмма"
zqCreateSeriesLine "Диаграмма" "Ряд" "1|2|3" "3|1|2" "" "255,0,0"
@save Диаграмма без-картинки.png
zqChartImageInside "Диаграмма" "False" "фон.bmp" "Stretch"
@save Диаграмма фон-bmp.png
zqChartImageInside "Диаграмма" "False" "plain.bmp" "Stretch"
@save Диаграмма plain-bmp.png
zqChartImageInside "Диаграмма" "False" "фон.jpg" "Tile"
@save Диаграмма фон-jpg.png
SCRIPT
cd "$dir" || exit 1
nbhost run "$(zq_wine_path "$dir/график.zqs")" --trace --out картинки 2>&1 | tr -d '\r' |
  grep -v '^X connection' >"$out/names.txt"
expected="2: zqCreateLineChart -> true
3: zqCreateSeriesLine -> false
5: zqChartImageInside -> false
saved картинки\\фон-bmp.png
7: zqChartImageInside -> false
saved картинки\\plain-bmp.png
9: zqChartImageInside -> false
saved картинки\\фон-jpg.png"
[ "$(grep -v 'без-картинки' "$out/names.txt")" = "$expected" ] ||
  fail "Cyrillic names: $(cat "$out/names.txt")"
for picture in без-картинки фон-bmp plain-bmp фон-jpg; do
  [ -s "картинки/$picture.png" ] || fail "картинки/$picture.png was not saved"
done
cmp -s картинки/фон-bmp.png картинки/plain-bmp.png ||
  fail "фон.bmp and plain.bmp give different charts"
cmp -s картинки/фон-bmp.png картинки/без-картинки.png && fail "фон.bmp shows no picture"
cmp -s картинки/фон-jpg.png картинки/без-картинки.png && fail "фон.jpg shows no picture"

[ $status -eq 0 ] && echo "nbhost reasons and Cyrillic names: ok" || echo "outputs kept in $out"
exit $status
