#!/usr/bin/env bash
# Installs everything the three builds need on Debian 12 and cross-builds libjpeg for win32.
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
  libcairo2-dev libfreetype-dev libfontconfig1-dev libjpeg-dev
  fonts-liberation fonts-dejavu-core
  mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth
  clang-format python3
)
# wine64 runs 64-bit Windows programs on kernels without 32-bit support, where wine32 cannot
# start at all. nasm gives libjpeg its SIMD code.
optional=(ninja-build imagemagick nasm)

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

say "all dependencies present"
