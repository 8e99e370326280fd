#!/usr/bin/env bash
# The DLL's property dialogs in real windows: zq_wine_dialogs.exe opens them through
# nbEditAction and drives them through the standard control messages, in Russian regional
# settings (the Windows-1251 code page). Screen captures of the six forms are left in the
# build folder (tests/wine-output/dialogs).
# Usage: test_dialogs.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
exe="$build/tests/zq_wine_dialogs.exe"
[ -f "$exe" ] || { echo "missing $exe: build the zq_wine_dialogs target"; exit 1; }

source "$source_dir/tests/wine/wine_run.sh"
zq_wine_setup "$build" "$exe" wine-prefix-dialogs || exit $?

# No window manager runs under Xvfb: Wine draws the window frames itself and does not wait for
# a manager to withdraw a closing window (two seconds per dialog otherwise). Its font dialog
# offers "Arial" through the metric-compatible Liberation Sans. Wine's own Tahoma and
# Marlett (fonts-wine) go into the prefix, where this Wine looks for them.
if [ ! -f "$WINEPREFIX/.zq-dialogs" ]; then
  for font in tahoma tahomabd marlett; do
    [ -f "/usr/share/wine/fonts/$font.ttf" ] &&
      cp "/usr/share/wine/fonts/$font.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  for value in Decorated Managed; do
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /t REG_SZ /d N /f >/dev/null 2>&1
  done
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
    /d 'Liberation Sans' /f >/dev/null 2>&1
  "${WINESERVER:-wineserver}" -w
  touch "$WINEPREFIX/.zq-dialogs"
fi

out="$build/tests/wine-output/dialogs"
rm -rf "$out" && mkdir -p "$out"
LC_ALL=ru_RU.UTF-8 timeout 300 "$WINE" "$exe" --plugin "$(zq_wine_path "$build/zqLineChart.dll")" \
  --pictures "$(zq_wine_path "$out")" 2>&1 | tr -d '\r' | grep -v '^X connection'
status=${PIPESTATUS[0]}
[ "$status" -ne 124 ] || { echo "FAIL: the dialogs did not finish in time"; exit 1; }
exit "$status"
