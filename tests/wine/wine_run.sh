# shellcheck shell=bash
# Sourced by the Wine test scripts. zq_wine_setup BUILD_DIR EXE picks the Wine loader that
# matches EXE, puts the prefix in the build folder and initialises it once, and starts an X
# server of the test's own for as long as the script runs. A test that changes Wine's regional
# settings names a prefix of its own (third argument): Wine keeps them in the prefix's
# registry, where a test running at the same time in another locale would read them. It returns 77 (the tests' "skipped")
# when this machine cannot run EXE under Wine at all.
zq_wine_setup() {
  local build=$1 exe=$2 prefix=${3:-wine-prefix}
  export WINEPREFIX="$build/$prefix"
  export WINEDEBUG=-all
  # No Mono or Gecko installers: their prompts would wait for ever under Xvfb.
  export WINEDLLOVERRIDES="mscoree,mshtml="

  # The PE machine field picks the loader: wine for i386 programs, wine64 for x86-64 ones.
  local pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
  machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$exe" | tr -d ' ')
  case "$machine" in
    014c) WINE=/usr/lib/wine/wine ;;
    8664) WINE=/usr/lib/wine/wine64 ;;
    *) echo "$exe: not a Windows program (machine '$machine')"; return 1 ;;
  esac
  if [ ! -x "$WINE" ]; then
    echo "SKIP: $WINE is not installed (scripts/setup.sh installs it)"
    return 77
  fi
  if ! "$WINE" --version >/dev/null 2>&1; then
    # Seen on virtual machines whose kernel has 32-bit emulation switched off.
    echo "SKIP: $WINE cannot start on this machine: $("$WINE" --version 2>&1 | head -n 1)"
    return 77
  fi
  export WINELOADER="$WINE"
  zq_start_display || return 1

  # One initialisation even when several tests start at once.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$WINE" wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
  [ -f "$WINEPREFIX/system.reg" ] || { echo "cannot initialise the Wine prefix $WINEPREFIX"; return 1; }
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
  export DISPLAY=":$(tr -d '[:space:]' <"$file")"
  rm -f "$file"
}

# A Unix path as Wine sees it (drive Z: is the root).
zq_wine_path() {
  local p=$1
  echo "Z:${p//\//\\}"
}
