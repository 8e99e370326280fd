# shellcheck shell=bash
# Sourced by the Wine test scripts. zq_wine_setup BUILD_DIR EXE picks the Wine that runs EXE,
# puts the prefix in the build folder and initialises it once, and starts an X server of the
# test's own for as long as the script runs. A test that changes Wine's regional settings names
# a prefix of its own (third argument): Wine keeps them in the prefix's registry, where a test
# running at the same time in another locale would read them.
#
# 32-bit programs have two routes (zq_wine32_route): "native", Debian's wine32, where the kernel
# runs 32-bit Linux programs; "wow64", a Wine that runs 32-bit Windows code inside a 64-bit
# process, unpacked under build/ by scripts/setup.sh where the kernel does not. ZQ_WINE32_ROUTE
# (native|wow64) forces one, read here when the test runs. A forced route that cannot run is a
# failure (status 1); with no route at all the test reports "skipped" (77), which
# scripts/test-all.sh counts as a failure of the 32-bit build.

ZQ_SOURCE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# Where scripts/setup.sh unpacks the WoW64 Wine (the same default there).
ZQ_WOW64_DIR=${ZQ_WOW64_DIR:-$ZQ_SOURCE_ROOT/build/wine-wow64}
ZQ_WOW64_LIB=$ZQ_WOW64_DIR/root/usr/lib/x86_64-linux-gnu

# zq_wine32_route: sets ZQ_ROUTE (native|wow64), WINE, ZQ_WINESERVER and ZQ_ROUTE_DESCRIPTION;
# otherwise prints why there is no route and returns 1 (a forced route) or 77 (none found).
zq_wine32_route() {
  local forced=${ZQ_WINE32_ROUTE:-} native_error="" wow64_error=""
  case "$forced" in
    "" | native | wow64) ;;
    *) echo "ZQ_WINE32_ROUTE must be native or wow64, not '$forced'"; return 1 ;;
  esac
  if [ "$forced" != wow64 ]; then
    if [ ! -x /usr/lib/wine/wine ]; then
      native_error="/usr/lib/wine/wine is not installed (scripts/setup.sh installs wine32)"
    elif ! native_error=$(env -u WINEPREFIX /usr/lib/wine/wine --version 2>&1); then
      # Seen on virtual machines whose kernel has 32-bit emulation switched off.
      native_error="/usr/lib/wine/wine cannot start: $(head -n 1 <<<"$native_error")"
    else
      ZQ_ROUTE=native WINE=/usr/lib/wine/wine ZQ_WINESERVER=wineserver
      ZQ_ROUTE_DESCRIPTION="native ($native_error)"
      return 0
    fi
    [ "$forced" = native ] && { echo "wine route native cannot run here: $native_error"; return 1; }
  fi
  local version
  if [ ! -x "$ZQ_WOW64_LIB/wine/wine" ]; then
    wow64_error="no WoW64 Wine in $ZQ_WOW64_DIR (run ZQ_WINE32_ROUTE=wow64 bash scripts/setup.sh)"
  elif ! version=$(env -u WINEPREFIX "$ZQ_WOW64_LIB/wine/wine" --version 2>&1); then
    wow64_error="the WoW64 Wine in $ZQ_WOW64_DIR cannot start: $(head -n 1 <<<"$version")"
  else
    ZQ_ROUTE=wow64 WINE=$ZQ_WOW64_LIB/wine/wine ZQ_WINESERVER=$ZQ_WOW64_LIB/wine/wineserver
    ZQ_ROUTE_DESCRIPTION="wow64 (${version%% *}, libwine $(cat "$ZQ_WOW64_DIR/libwine.version" 2>/dev/null))"
    return 0
  fi
  if [ "$forced" = wow64 ]; then
    echo "wine route wow64 cannot run here: $wow64_error"
    return 1
  fi
  echo "SKIP: no 32-bit Wine route: $native_error; $wow64_error"
  return 77
}

zq_wine_setup() {
  local build=$1 exe=$2 prefix=${3:-wine-prefix}
  export WINEPREFIX="$build/$prefix"
  export WINEDEBUG=-all
  # No Mono or Gecko installers: their prompts would wait for ever under Xvfb.
  export WINEDLLOVERRIDES="mscoree,mshtml="

  # The PE machine field picks the loader: a 32-bit route for i386 programs, wine64 for x86-64
  # ones.
  local pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
  machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$exe" | tr -d ' ')
  case "$machine" in
    014c)
      zq_wine32_route || return $?
      echo "wine route: $ZQ_ROUTE_DESCRIPTION"
      # WoW64 prefixes are 64-bit and belong to that Wine alone.
      if [ "$ZQ_ROUTE" = wow64 ]; then WINEPREFIX="$WINEPREFIX-wow64"; fi
      ;;
    8664)
      WINE=/usr/lib/wine/wine64 ZQ_WINESERVER=wineserver
      if [ ! -x "$WINE" ]; then
        echo "SKIP: $WINE is not installed (scripts/setup.sh installs it)"
        return 77
      fi
      local version
      version=$("$WINE" --version 2>&1) || { echo "$WINE cannot start: $version"; return 1; }
      echo "wine: wine64 ($version)"
      ;;
    *) echo "$exe: not a Windows program (machine '$machine')"; return 1 ;;
  esac
  # Each Wine talks to a wineserver of its own version.
  if [ "$ZQ_WINESERVER" = wineserver ]; then unset WINESERVER; else export WINESERVER="$ZQ_WINESERVER"; fi
  export WINELOADER="$WINE"
  zq_start_display || return 1

  # The build's first prefix is initialised by Wine; a test's own prefix is a copy of it.
  local first="$build/wine-prefix"
  if [ "$machine" = 014c ] && [ "$ZQ_ROUTE" = wow64 ]; then first="$first-wow64"; fi
  zq_make_prefix "$first" "" || return 1
  if [ "$WINEPREFIX" != "$first" ]; then zq_make_prefix "$WINEPREFIX" "$first" || return 1; fi
}

# zq_make_prefix PREFIX [FROM]: makes PREFIX once, even when several tests start at once:
# wineboot, or a copy of the prefix FROM. A prefix is 1.3 GB, nearly all of it Wine's own
# programs and libraries, which Wine never writes once the prefix is made: the copy links to
# those files and has its own of everything else (the registry, the ini files, the folders).
zq_make_prefix() {
  local prefix=$1 from=$2
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ -f "$prefix/system.reg" ] && exit 0
    if [ -z "$from" ]; then
      WINEPREFIX="$prefix" "$WINE" wineboot -i >/dev/null 2>&1 || true
      WINEPREFIX="$prefix" "$ZQ_WINESERVER" -w || true
      exit 0
    fi
    rm -rf "$prefix" "$prefix.making"
    cp -al "$from" "$prefix.making" || exit 1
    find "$prefix.making" -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' \
      ! -iname '*.sys' ! -iname '*.ocx' ! -iname '*.acm' ! -iname '*.cpl' ! -iname '*.tlb' \
      -exec sh -c 'for f; do cp -p "$f" "$f.own" && mv -f "$f.own" "$f"; done' sh {} + || exit 1
    mv "$prefix.making" "$prefix"
  ) 9>"$prefix.lock"
  [ -f "$prefix/system.reg" ] || { echo "cannot initialise the Wine prefix $prefix"; return 1; }
}

# An Xvfb on a display that the server picks itself (-displayfd), so tests running at the same
# time never race for one; stopped when the script exits.
zq_start_display() {
  local file
  file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  ZQ_XVFB_PID=$!
  trap 'kill "$ZQ_XVFB_PID" 2>/dev/null' EXIT
  for _ in $(seq 200); do
    [ -s "$file" ] && break
    sleep 0.05
  done
  if [ ! -s "$file" ]; then
    echo "Xvfb did not start"
    rm -f "$file"
    return 1
  fi
  DISPLAY=":$(tr -d '[:space:]' <"$file")"
  export DISPLAY
  rm -f "$file"
}

# A Unix path as Wine sees it (drive Z: is the root).
zq_wine_path() {
  local p=$1
  echo "Z:${p//\//\\}"
}
