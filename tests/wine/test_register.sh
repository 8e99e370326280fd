#!/usr/bin/env bash
# nbhost.exe registers the DLL as the host does: the 53 registrations byte for byte, the init
# texts, and the old texts in the variables freed.
set -euo pipefail
build_dir=${1:?build dir}
source_dir=${2:?source dir}
source "$(dirname "$0")/wine_run.sh"
zq_wine_setup "$build_dir" "$build_dir/nbhost.exe" || exit $?

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

out=$(timeout 300 "$WINE" "$build_dir/nbhost.exe" register | tr -d '\r')
grep -q '^registrations	53$' <<<"$out" || fail "expected 53 registrations: $out"
diff <(grep '^reg	' <<<"$out" | cut -f2-) "$source_dir/tests/data/registrations.tsv" \
  || fail "registrations differ from tests/data/registrations.tsv"
grep -q "^name	$(printf 'zqLineChart' | xxd -p -u)$" <<<"$out" || fail "plug-in name"
# "Построение графиков" in Windows-1251.
grep -q '^description	CFEEF1F2F0EEE5EDE8E520E3F0E0F4E8EAEEE2$' <<<"$out" || fail "description"
echo "wine registration: ok"
