#!/usr/bin/env bash
# The same drawing sequences through GDI under Wine and through Cairo on Linux agree: at most
# 1 % of the canvas sequence's pixels differ outside text (text is masked: each backend also
# draws the sequence without text, and the pixels that change are the text), 2 % of the
# surface sequence's (text included). Both pictures and a diff image are kept on failure.
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

status=0
echo -n "canvas sequence: "
"$native/tests/zq_image_diff" "$out/gdi/canvas.bmp" "$out/cairo/canvas.bmp" \
  --without-text "$out/gdi/canvas_notext.bmp" "$out/cairo/canvas_notext.bmp" \
  --max-fraction 0.01 --diff "$out/canvas.diff.png" || status=1
echo -n "surface sequence: "
"$native/tests/zq_image_diff" "$out/gdi/surface.bmp" "$out/cairo/surface.bmp" \
  --max-fraction 0.02 --diff "$out/surface.diff.png" || status=1
[ $status -eq 0 ] || echo "pictures and diffs kept in $out"
exit $status
