#!/usr/bin/env bash
# Draws the shared sequence with GDI under Wine; the program checks the Windows pixel rules
# itself and must write a 24-bit BMP of the sequence's size.
# Usage: test_gdi_surface.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
exe="$build/tests/gdi_draw.exe"
[ -f "$exe" ] || { echo "missing $exe: build the gdi_draw target"; exit 1; }

source "$source_dir/tests/wine/wine_run.sh"
zq_wine_setup "$build" "$exe" || exit $?

out_dir="$build/tests/wine-output"
mkdir -p "$out_dir"
bmp="$out_dir/gdi_draw.bmp"
rm -f "$bmp"
timeout 300 "$WINE" "$exe" "$(zq_wine_path "$bmp")"
status=$?
if [ $status -ne 0 ]; then
  echo "gdi_draw.exe failed with exit code $status"
  exit 1
fi

header="$source_dir/tests/wine/draw_sequence.h"
width=$(sed -nE 's/.*kSequenceWidth = ([0-9]+);.*/\1/p' "$header")
height=$(sed -nE 's/.*kSequenceHeight = ([0-9]+);.*/\1/p' "$header")
[ -f "$bmp" ] || { echo "no BMP written"; exit 1; }
field() { od -An -t "$1" -j "$2" -N "$3" "$bmp" | tr -d ' '; }
magic=$(head -c 2 "$bmp")
bmp_width=$(field d4 18 4)
bmp_height=$(field d4 22 4)
bits=$(field u2 28 2)
size=$(stat -c %s "$bmp")
expected_size=$((54 + ((width * 3 + 3) / 4 * 4) * height))
echo "BMP: $magic ${bmp_width}x${bmp_height}, $bits bits, $size bytes"
if [ "$magic" != BM ] || [ "$bmp_width" != "$width" ] || [ "$bmp_height" != "$height" ] ||
  [ "$bits" != 24 ] || [ "$size" != "$expected_size" ]; then
  echo "expected a 24-bit ${width}x${height} BMP of $expected_size bytes"
  exit 1
fi
echo "1 passed, 0 failed"
