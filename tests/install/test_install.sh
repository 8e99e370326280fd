#!/usr/bin/env bash
# Installs the build into a temporary prefix as a user would, builds the engine example against
# the installed headers and library through pkg-config and runs it, runs the installed zqchart
# from a copy of the installation moved elsewhere (it must find its plug-in relative to
# itself), checks what the libraries export, and makes the Debian package, whose dependencies
# (the fonts included) must be declared.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
pc=$(find "$prefix" -name zqchartengine.pc)
[ -n "$pc" ] || fail "no zqchartengine.pc installed"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc")
libdir=$(pkg-config --variable=libdir zqchartengine)
engine="$libdir/libzqchartengine.so"
readelf -d "$engine" | grep -q 'SONAME.*\[libzqchartengine\.so\.[0-9]*\]' ||
  fail "libzqchartengine.so has no versioned SONAME"

# The example, as a user builds it.
# shellcheck disable=SC2046
${CXX:-c++} -std=c++20 -O1 "$source_dir/examples/engine/dashboard.cpp" -o "$work/dashboard" \
  $(pkg-config --cflags --libs zqchartengine) -Wl,-rpath,"$libdir" ||
  fail "the example does not build against the installed library"
"$work/dashboard" "$work/pictures" || fail "the example failed"
for picture in bars stacked horizontal pie fastline percent dashboard; do
  file="$work/pictures/$picture.png"
  [ -s "$file" ] && [ "$(head -c 4 "$file" | tail -c 3)" = PNG ] || fail "$picture.png missing"
done

# zqchart and its plug-in, moved away from where they were installed and built.
cp -a "$prefix" "$work/moved"
rm -rf "$prefix"
actions=$("$work/moved/bin/zqchart" actions) || fail "the moved zqchart cannot run"
grep -q "actions in" <<<"$actions" || fail "the moved zqchart lists no actions"
plugin=$(find "$work/moved" -name libzqlinechart.so)
extra=$(nm -D --defined-only "$plugin" | awk '{print $3}' | grep -v -E '^(nb|zqHost)' || true)
[ -z "$extra" ] || fail "the plug-in exports more than its entry points: $extra"
symbols=$(nm -D --defined-only "$work/moved/${engine#"$prefix"/}")
grep -q TPieSeries <<<"$symbols" || fail "the engine library exports no series classes"

# The package.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null || fail "cpack"
deb=$(ls "$work"/package/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in fonts-liberation fonts-dejavu-core libcairo2 libfontconfig1 libjpeg; do
  grep -q "$dependency" <<<"$depends" || fail "the package does not depend on $dependency: $depends"
done
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/zqchart usr/lib/zqlinechart/libzqlinechart.so libzqchartengine.so.0 \
  usr/include/zqchartengine/zqchartengine.h pkgconfig/zqchartengine.pc; do
  grep -q "$path" <<<"$contents" || fail "the package lacks $path"
done
echo "installed, example built and run, zqchart moved and run, package depends on: $depends"
