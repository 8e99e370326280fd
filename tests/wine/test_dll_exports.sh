#!/usr/bin/env bash
# The DLL exports exactly the seven entry points, undecorated, and imports only system DLLs.
set -euo pipefail
build_dir=${1:?}
dll="$build_dir/zqLineChart.dll"
format=$(x86_64-w64-mingw32-objdump -f "$dll" | sed -n 's/.*file format //p')
case "$format" in
  pei-i386) objdump=i686-w64-mingw32-objdump ;;
  pei-x86-64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "not a Windows DLL: $format"; exit 1 ;;
esac
dump=$($objdump -p "$dll")

exports=$(awk '/Ordinal\/Name Pointer/{t=1;next} t && /^[ \t]*\[/{print $NF;next} t && NF==0{t=0}' <<<"$dump" | sort)
expected=$(printf '%s\n' nbEditAction nbExecAction nbInitPlugIn nbMessage nbRegisterInterfaceAccess \
  nbRegisterPlugIn nbRegisterScriptProcessor | sort)
if [ "$exports" != "$expected" ]; then
  echo "exports differ:"; diff <(echo "$expected") <(echo "$exports"); exit 1
fi
imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u)
allowed='^(kernel32|user32|gdi32|msvcrt|advapi32|comdlg32|ole32|oleaut32|shell32|comctl32|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r dll_name; do
  [[ "$dll_name" =~ $allowed ]] || { echo "imports a non-system DLL: $dll_name"; exit 1; }
done <<<"$imports"
echo "$format exports: ok ($(wc -l <<<"$exports")), imports: $(echo $imports)"
