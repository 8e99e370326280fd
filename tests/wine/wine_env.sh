# Sourced by the Wine tests: a private, quiet Wine prefix inside the build folder and a helper
# that runs a Windows program under a virtual X server.
build_dir=${1:?build dir}
source_dir=${2:?source dir}
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Several tests may start at once: one of them creates the prefix.
  (flock 9; [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1) 9>"$build_dir/.wineprefix.lock"
fi

run_wine() {
  timeout 300 xvfb-run -a wine "$@"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
