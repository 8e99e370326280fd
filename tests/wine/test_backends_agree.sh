#!/usr/bin/env bash
# The same drawings through GDI under Wine and through Cairo on Linux agree: no pixel of the
# canvas sequence or of a reference chart differs outside text (text is masked: each backend
# also draws them without text, and the pixels that change are the text), at most 2 % of the
# surface sequence's (text included, some of it at odd angles). Both pictures and a diff image are kept on failure.
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
native=${ZQ_NATIVE_BUILD:-$source_dir/build/native}
exe="$build/tests/zq_render_sequences.exe"
for tool in "$native/tests/zq_render_sequences" "$native/tests/zq_image_diff"; do
  [ -x "$tool" ] || { echo "SKIP: $tool is missing (build the native preset first)"; exit 77; }
done
source "$source_dir/tests/wine/wine_run.sh"
zq_wine_setup "$build" "$exe" || exit $?

out="$build/tests/wine-output/backends"
rm -rf "$out" && mkdir -p "$out/gdi" "$out/cairo"
timeout 300 "$WINE" "$exe" "$(zq_wine_path "$out/gdi")" || { echo "GDI rendering failed"; exit 1; }
"$native/tests/zq_render_sequences" "$out/cairo" || { echo "Cairo rendering failed"; exit 1; }

passed=0
failed=0
# compare NAME MAX_FRACTION [masked]
compare() {
  local name=$1 fraction=$2 mask=()
  [ "${3:-}" = masked ] &&
    mask=(--without-text "$out/gdi/${name}_notext.bmp" "$out/cairo/${name}_notext.bmp")
  echo -n "$name: "
  if "$native/tests/zq_image_diff" "$out/gdi/$name.bmp" "$out/cairo/$name.bmp" "${mask[@]}" \
    --max-fraction "$fraction" --diff "$out/$name.diff.png"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
}

compare canvas 0 masked
compare surface 0.02
charts=$(cd "$out/cairo" && ls chart_*_notext.bmp | sed 's/_notext\.bmp$//')
[ -n "$charts" ] || { echo "no charts were drawn"; exit 1; }
for chart in $charts; do compare "$chart" 0 masked; done

[ $failed -eq 0 ] || echo "pictures and diffs kept in $out"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
