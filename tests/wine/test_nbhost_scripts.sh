#!/usr/bin/env bash
# nbhost.exe plays scripts through the DLL in real windows under Wine, and each picture agrees
# with zqchart's (Cairo) picture of the same script pixel for pixel, text included (both
# backends draw the same glyphs here, so text needs no mask). Both hosts also
# print the same reports. Then what real windows must show: charts fill their rectangles and
# follow a resize only with LParam 4, a roll on a missing chart sets [LastError], nbMessage 2
# removes every chart window, the roll changes the picture tick by tick and stops, a 17 x 17
# drag zooms and its reverse undoes it, a 16 x 16 drag does nothing, the wheel scrolls, and
# the zoom rectangle shows on the window while the button is down.
# Pictures, diffs and outputs are kept in the build folder on failure.
set -uo pipefail
shopt -s nullglob
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
native=${ZQ_NATIVE_BUILD:-$source_dir/build/native}
for tool in "$native/zqchart" "$native/tests/zq_image_diff"; do
  [ -x "$tool" ] || { echo "SKIP: $tool is missing (build the native preset first)"; exit 77; }
done
source "$source_dir/tests/wine/wine_run.sh"
zq_wine_setup "$build" "$build/nbhost.exe" wine-prefix-nbhost || exit $?

out="$build/tests/wine-output/nbhost"
rm -rf "$out" && mkdir -p "$out"
# nbhost in Russian regional settings, as zqchart with --locale ru-RU: the examples' texts are
# Russian and need the Windows-1251 ANSI code page under Wine. (Set for Wine alone: this
# machine's C library may have no such locale for the shell.)
nbhost() {
  LC_ALL=ru_RU.UTF-8 timeout 300 "$WINE" "$build/nbhost.exe" "$@"
}
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

cd "$source_dir" || exit 1  # the examples name their pictures relative to the repository
for script in examples/*.zqs tests/data/scripts/*.zqs; do
  name=$(basename "$script" .zqs)
  mkdir -p "$out/$name/gdi" "$out/$name/cairo"
  "$native/zqchart" run "$script" --out "$out/$name/cairo" --locale ru-RU \
    >"$out/$name/cairo.txt" 2>"$out/$name/cairo.err" ||
    fail "$name: zqchart failed: $(cat "$out/$name/cairo.err")"
  nbhost run "$script" \
    --out "$(zq_wine_path "$out/$name/gdi")" >"$out/$name/gdi.txt" 2>"$out/$name/gdi.err"
  code=$?
  # (Wine's own messages are off: a crash shows only in the status.)
  [ $code -eq 0 ] || fail "$name: nbhost failed with status $code: $(cat "$out/$name/gdi.err")"
  sed -i 's/\r$//' "$out/$name/gdi.txt"
  diff "$out/$name/cairo.txt" "$out/$name/gdi.txt" >/dev/null ||
    fail "$name: the hosts report differently: $(diff "$out/$name/cairo.txt" "$out/$name/gdi.txt")"
  [ "$(ls "$out/$name/cairo")" = "$(ls "$out/$name/gdi")" ] ||
    fail "$name: different pictures saved: $(ls "$out/$name/cairo") / $(ls "$out/$name/gdi")"
  for picture in "$out/$name/cairo"/*; do
    file=$(basename "$picture")
    echo -n "$name/$file: "
    "$native/tests/zq_image_diff" "$out/$name/gdi/$file" "$picture" --max-fraction 0 \
      --diff "$out/$name/${file%.*}.diff.png" || fail "$name/$file: GDI and Cairo differ"
  done
done

# What the Windows host saw, checked on its own.
gdi() { echo "$out/$1/gdi/$2"; }
same() { cmp -s "$(gdi "$1" "$2")" "$(gdi "$1" "$3")" || fail "$1: $2 and $3 should be the same"; }
differ() { cmp -s "$(gdi "$1" "$2")" "$(gdi "$1" "$3")" && fail "$1: $2 and $3 should differ"; }

expected_windows="First: rectangle 300x200, charts 1, chart at 0,0 size 300x200
Second: rectangle 250x150, charts 1, chart at 0,0 size 250x150
First: rectangle 360x240, charts 1, chart at 0,0 size 300x200
First: rectangle 360x240, charts 1, chart at 0,0 size 360x240
[LastError]=Нет управления диаграммой прикреплённой к объекту Missing.
First: rectangle 360x240, charts 0, chart at 0,0 size 0x0
Second: rectangle 250x150, charts 0, chart at 0,0 size 0x0"
[ "$(cat "$out/windows/gdi.txt")" = "$expected_windows" ] ||
  fail "windows: unexpected report: $(cat "$out/windows/gdi.txt")"

differ roll roll-1.png roll-2.png
differ roll roll-2.png roll-5.png
same roll roll-5.png roll-off.png
same roll roll-off.png roll-off-3.png
differ rocking rocking-3.png rocking-8.png

same mouse mouse-start.png mouse-16.png
differ mouse mouse-start.png mouse-zoom.png
same mouse mouse-start.png mouse-undone.png
differ mouse mouse-start.png mouse-panned.png
differ mouse mouse-start.png mouse-wheel-up.png
differ mouse mouse-wheel-up.png mouse-wheel-down.png

# What the window shows while the left button drags: the zoom rectangle drawn straight onto
# the window (a 140 x 120 outline: 516 pixels), gone again after the button is let go.
screen="$out/zoom_rectangle/screen"
mkdir -p "$screen"
nbhost run \
  tests/data/scripts/zoom_rectangle.zqs --capture screen --out "$(zq_wine_path "$screen")" \
  >/dev/null 2>"$screen/err.txt" || fail "zoom rectangle: nbhost failed: $(cat "$screen/err.txt")"
cmp -s "$screen/before.png" "$screen/after.png" || fail "zoom rectangle: not erased"
outline=$("$native/tests/zq_image_diff" "$screen/dragging.png" "$screen/before.png" \
  --max-fraction 1 | sed -n 's/^\([0-9]*\) of .*/\1/p')
[ "${outline:-0}" -ge 400 ] && [ "${outline:-0}" -le 600 ] ||
  fail "zoom rectangle: $outline pixels changed while dragging, expected an outline of 516"

# Failures say what is wrong: a plug-in that cannot be loaded, a malformed script (nothing
# runs), an unknown option.
bad="$out/bad"
mkdir -p "$bad"
printf '@rectangle A 100 80\nzqCreateLineChart "A"\n@save A early.png\n@drag A 1 2\n' >"$bad/bad.zqs"
expect_status() {
  local want=$1 what=$2
  shift 2
  nbhost "$@" >"$bad/out.txt" 2>"$bad/err.txt"
  local got=$?
  [ $got -eq "$want" ] || fail "$what: status $got, expected $want ($(cat "$bad/err.txt"))"
}
expect_status 1 "missing plug-in" --plugin 'Z:\no\such\plugin.dll' run "$(zq_wine_path "$bad/bad.zqs")"
grep -q "cannot load" "$bad/err.txt" || fail "missing plug-in: $(cat "$bad/err.txt")"
expect_status 2 "malformed script" run "$(zq_wine_path "$bad/bad.zqs")" --out "$(zq_wine_path "$bad")"
grep -q "bad.zqs:4: usage: @drag" "$bad/err.txt" || fail "malformed script: $(cat "$bad/err.txt")"
[ ! -e "$bad/early.png" ] || fail "malformed script: something ran"
expect_status 2 "unknown format" run "$(zq_wine_path "$bad/bad.zqs")" --format svg
expect_status 2 "no command"

[ $status -eq 0 ] && echo "nbhost scripts: ok" || echo "pictures, diffs and outputs kept in $out"
exit $status
