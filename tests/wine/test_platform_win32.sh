#!/usr/bin/env bash
# Runs the platform library's checks (pictures, regional settings, host memory, common
# dialogs) under Wine, once with English and once with Russian regional settings.
# Usage: test_platform_win32.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
exe="$build/tests/platform_check.exe"
[ -f "$exe" ] || { echo "missing $exe: build the platform_check target"; exit 1; }

source "$source_dir/tests/wine/wine_run.sh"
zq_wine_setup "$build" "$exe" wine-prefix-locales || exit $?

work="$build/tests/wine-output/platform"
rm -rf "$work"
mkdir -p "$work"
failed=0
for locale in en-US ru-RU; do
  unix_locale="${locale/-/_}.UTF-8"
  echo "== $locale"
  LC_ALL="$unix_locale" LANG="$unix_locale" ZQ_EXPECT_LOCALE="$locale" \
    timeout 300 "$WINE" "$exe" "$(zq_wine_path "$work")" || failed=1
done
[ $failed = 0 ] || { echo "platform_check.exe failed"; exit 1; }
