#!/usr/bin/env bash
# Installs everything the three builds need on Debian 12 (zlib for Windows included) and
# cross-builds libjpeg for win32.
# Safe to run again: it only does what is missing, so a complete machine takes seconds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

say() { echo "setup: $*"; }

# ---- apt sources --------------------------------------------------------------------------
need_update=0

# wine32 lives in the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "enabling the i386 architecture"
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# Source packages (for libjpeg-turbo): mirror the binary sources as deb-src.
src_list=/etc/apt/sources.list.d/zq-deb-src.sources
has_deb_src() {
  grep -rqsE '^[[:space:]]*(Types:.*deb-src|deb-src[[:space:]])' /etc/apt/sources.list \
    /etc/apt/sources.list.d/ 2>/dev/null
}
if ! has_deb_src; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    say "enabling source packages ($src_list)"
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee "$src_list" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    say "enabling source packages (one-line sources)"
    sed -nE 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' /etc/apt/sources.list |
      $SUDO tee /etc/apt/sources.list.d/zq-deb-src.list >/dev/null
  else
    say "no apt sources found to mirror as deb-src" >&2
    exit 1
  fi
  need_update=1
fi

updated=0
apt_update() {
  if [ "$updated" = 0 ]; then
    say "apt-get update"
    $SUDO apt-get update -qq
    updated=1
  fi
}
[ "$need_update" = 1 ] && apt_update

# ---- packages -----------------------------------------------------------------------------
required=(
  g++ cmake pkg-config git make dpkg-dev
  googletest libgtest-dev libbenchmark-dev
  libcairo2-dev libfreetype-dev libfontconfig1-dev libjpeg-dev zlib1g-dev
  fonts-liberation fonts-dejavu-core
  mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb xauth
  clang-format python3
)
# wine64 runs 64-bit Windows programs on kernels without 32-bit support, where wine32 cannot
# start at all. nasm gives libjpeg its SIMD code. fonts-wine gives the property dialogs under
# Wine their Tahoma.
optional=(ninja-build imagemagick nasm fonts-wine)

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}
missing() {
  local p out=()
  for p in "$@"; do installed "$p" || out+=("$p"); done
  echo "${out[@]:-}"
}

read -r -a miss_required <<<"$(missing "${required[@]}")"
read -r -a miss_optional <<<"$(missing "${optional[@]}")"
if [ "${#miss_required[@]}" -gt 0 ] || [ "${#miss_optional[@]}" -gt 0 ]; then
  apt_update
fi
if [ "${#miss_required[@]}" -gt 0 ]; then
  say "installing ${miss_required[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${miss_required[@]}"
fi
for p in "${miss_optional[@]}"; do
  say "installing optional $p"
  $SUDO apt-get install -y -qq --no-install-recommends "$p" ||
    say "optional package $p could not be installed; going on" >&2
done

# ---- the Russian locale ----------------------------------------------------------------------
# A fresh machine has only C.UTF-8. With ru_RU.UTF-8 generated, the shell, the C library and
# Wine agree on the Russian settings: Wine then names files in UTF-8 and uses Windows-1251 as
# the ANSI code page, so Cyrillic file names reach the plug-in intact.
if ! locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$'; then
  say "generating the ru_RU.UTF-8 locale"
  if ! installed locales; then
    apt_update
    $SUDO apt-get install -y -qq --no-install-recommends locales
  fi
  $SUDO sed -i -E 's/^# *(ru_RU\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  grep -qE '^ru_RU\.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# ---- libjpeg-turbo for Windows (static, cross-built from Debian's source package) ----------
# build/win32/libjpeg for the DLL (i686). build/win64/libjpeg is the same library for x86-64
# builds, which are the only Windows programs that Wine can run where the kernel has no 32-bit
# support.
src_root="$ROOT/build/deps/src"
jpeg_source() {
  find "$src_root" -maxdepth 1 -type d -name 'libjpeg-turbo-*' 2>/dev/null | sort | tail -n 1
}

build_libjpeg() {  # NAME TOOLCHAIN NASM_FORMAT
  local name=$1 toolchain=$2 format=$3
  local prefix="$ROOT/build/$name/libjpeg"
  [ -f "$prefix/lib/libjpeg.a" ] && return 0

  mkdir -p "$src_root"
  local src_dir
  src_dir="$(jpeg_source)"
  if [ -z "$src_dir" ] || [ ! -f "$src_dir/CMakeLists.txt" ]; then
    say "fetching the libjpeg-turbo source package"
    # deb-src may have been enabled by hand without its lists being fetched.
    compgen -G '/var/lib/apt/lists/*_Sources*' >/dev/null || apt_update
    (cd "$src_root" && apt-get source -qq libjpeg-turbo)
    src_dir="$(jpeg_source)"
  fi
  [ -f "$src_dir/CMakeLists.txt" ] || { say "no libjpeg-turbo source in $src_root" >&2; exit 1; }

  # SIMD only when nasm can assemble objects of this format.
  local simd=0 probe
  if command -v nasm >/dev/null; then
    probe="$(mktemp -d)"
    printf 'section .text\nglobal f\nf: ret\n' >"$probe/p.asm"
    if nasm -f "$format" "$probe/p.asm" -o "$probe/p.obj" 2>/dev/null; then simd=1; fi
    rm -rf "$probe"
  fi

  local bdir="$ROOT/build/deps/libjpeg-$name"
  configure_and_build() {
    rm -rf "$bdir"
    cmake -S "$src_dir" -B "$bdir" -Wno-dev \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_TURBOJPEG=0 -DWITH_SIMD="$1" \
      -DCMAKE_ASM_NASM_COMPILER="$(command -v nasm || echo nasm)" >/dev/null &&
      cmake --build "$bdir" -j2 --target install >/dev/null
  }
  say "cross-building libjpeg-turbo for $name (SIMD=$simd)"
  if ! configure_and_build "$simd"; then
    [ "$simd" = 1 ] || exit 1
    say "SIMD build failed; building without SIMD"
    configure_and_build 0 || exit 1
  fi
  [ -f "$prefix/lib/libjpeg.a" ] || { say "libjpeg.a was not installed in $prefix" >&2; exit 1; }
}

build_libjpeg win32 toolchain-mingw-i686.cmake win32
build_libjpeg win64 toolchain-mingw-x86_64.cmake win64

# ---- the route for 32-bit Windows programs ---------------------------------------------------
# The DLL users load is i686. Where the kernel runs 32-bit Linux programs, Debian's wine32 runs
# it ("native"). Where it does not, Debian unstable's Wine 10 runs 32-bit Windows code inside a
# 64-bit process ("wow64"): its packages are unpacked under build/ with unstable's own C library
# and never installed into this system. ZQ_WINE32_ROUTE=native|wow64 forces a route; the Wine
# tests read the same variable when they run.
wow64_dir="${ZQ_WOW64_DIR:-$ROOT/build/wine-wow64}"
wow64_lib="$wow64_dir/root/usr/lib/x86_64-linux-gnu"

native_wine_error() {  # prints why Debian's wine32 cannot run here; nothing when it can
  local out
  out=$(env -u WINEPREFIX /usr/lib/wine/wine --version 2>&1) || echo "/usr/lib/wine/wine cannot start: ${out%%$'\n'*}"
}

# Runs a 32-bit program of Wine's own in a prefix of the unpacked tree: proof that the route works.
wow64_check() {
  local prefix="$wow64_dir/check-prefix" out
  WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINESERVER="$wow64_lib/wine/wineserver" timeout 300 "$wow64_lib/wine/wine" wineboot -i \
    >/dev/null 2>&1 || true
  out=$(WINEPREFIX="$prefix" WINEDEBUG=-all WINESERVER="$wow64_lib/wine/wineserver" \
    timeout 120 "$wow64_lib/wine/wine" 'C:\windows\syswow64\cmd.exe' /c echo 32-bit ok 2>&1)
  WINEPREFIX="$prefix" "$wow64_lib/wine/wineserver" -k 2>/dev/null || true
  rm -rf "$prefix"
  [[ "$out" == *"32-bit ok"* ]] || { why="a 32-bit program did not run: ${out:0:300}"; return 1; }
}

# Unpacks unstable's Wine into $wow64_dir (a fixed place: the loader's path is written into the
# programs). On failure, $why says why.
wow64_install() {
  if [ -f "$wow64_dir/ready" ] && "$wow64_lib/wine/wine" --version >/dev/null 2>&1; then
    return 0
  fi
  local packages=(patchelf libz-mingw-w64 libunwind8 libx11-6 libxext6 libfreetype6 libfontconfig1)
  read -r -a miss <<<"$(missing "${packages[@]}")"
  if [ "${#miss[@]}" -gt 0 ]; then
    apt_update
    $SUDO apt-get install -y -qq --no-install-recommends "${miss[@]}" >/dev/null ||
      { why="cannot install ${miss[*]}"; return 1; }
  fi
  say "unpacking Debian unstable's Wine (WoW64) into $wow64_dir"
  rm -rf "$wow64_dir"
  local apt_dir="$wow64_dir/apt" uri
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$wow64_dir/debs" \
    "$wow64_dir/root"
  # The mirror this machine already uses, with the unstable suite.
  uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
  [ -n "$uri" ] || uri=$(awk '$1 == "deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
  [ -n "$uri" ] || { why="no Debian mirror found in the apt sources"; return 1; }
  echo "deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri sid main" \
    >"$apt_dir/sources.list"
  : >"$apt_dir/status"
  local apt=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
    -o Dir::State::Status="$apt_dir/status" -o Dir::Etc::Preferences=/dev/null
    -o Dir::Etc::PreferencesParts=/dev/null -o APT::Architecture=amd64
    -o Acquire::Languages=none -o APT::Sandbox::User=root)
  apt-get "${apt[@]}" update -qq >/dev/null 2>&1 || { why="cannot read unstable's package lists from $uri"; return 1; }
  (cd "$wow64_dir/debs" && apt-get "${apt[@]}" download -qq libwine wine64 wine-common libc6 \
    >/dev/null 2>&1) || { why="cannot download libwine, wine64, wine-common and libc6 from unstable"; return 1; }
  rm -rf "$apt_dir"  # the package lists are large and read once
  local deb
  for deb in "$wow64_dir"/debs/*.deb; do
    dpkg-deb -x "$deb" "$wow64_dir/root" || { why="cannot unpack $(basename "$deb")"; return 1; }
  done
  [ -d "$wow64_lib/wine/i386-windows" ] ||
    { why="unstable's Wine has no 32-bit Windows libraries (i386-windows): it cannot run the DLL"; return 1; }
  local f
  for f in "$wow64_lib/wine/wine" "$wow64_lib/wine/wineserver"; do
    patchelf --set-interpreter "$wow64_lib/ld-linux-x86-64.so.2" --force-rpath \
      --set-rpath "$wow64_lib" "$f" || { why="patchelf failed on $f"; return 1; }
  done
  # As the package's install script does: Debian's zlib1.dll, marked as a Wine built-in, for
  # both kinds of Windows programs.
  local m w in out
  for m in i686 x86_64; do
    w=$m
    [ $m = i686 ] && w=i386
    in=/usr/$m-w64-mingw32/lib/zlib1.dll out=$wow64_lib/wine/$w-windows/zlib1.dll
    { head -c 64 "$in" && printf 'Wine builtin DLL' && head -c 16 /dev/zero && tail -c +97 "$in"; } \
      >"$out" || { why="cannot make $out"; return 1; }
  done
  local version
  version=$("$wow64_lib/wine/wine" --version 2>&1) || { why="the unpacked Wine cannot start: $version"; return 1; }
  dpkg-deb -f "$wow64_dir"/debs/libwine_*.deb Version >"$wow64_dir/libwine.version"
  wow64_check || return 1
  touch "$wow64_dir/ready"
}

wow64_route() {  # on failure, $why says why
  wow64_install || return 1
  say "32-bit route: wow64 ($("$wow64_lib/wine/wine" --version), libwine $(cat "$wow64_dir/libwine.version"))"
  say "  from $(cd "$wow64_dir/debs" && echo *.deb)"
}

route=${ZQ_WINE32_ROUTE:-}
case "$route" in
  native)
    why=$(native_wine_error)
    [ -z "$why" ] || { say "ZQ_WINE32_ROUTE=native cannot run here: $why" >&2; exit 1; }
    say "32-bit route: native ($(/usr/lib/wine/wine --version))"
    ;;
  wow64)
    wow64_route || { say "ZQ_WINE32_ROUTE=wow64 cannot run here: $why" >&2; exit 1; }
    ;;
  "")
    native_why=$(native_wine_error)
    if [ -z "$native_why" ]; then
      say "32-bit route: native ($(/usr/lib/wine/wine --version))"
    elif ! wow64_route; then
      say "NO 32-bit route: the 32-bit DLL cannot be tested on this machine ($native_why; wow64: $why); scripts/test-all.sh will fail" >&2
    fi
    ;;
  *) say "ZQ_WINE32_ROUTE must be native or wow64, not '$route'" >&2; exit 1 ;;
esac

say "all dependencies present"
