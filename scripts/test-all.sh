#!/usr/bin/env bash
# Builds the four configurations and runs every test: the native suite, the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the Wine tests of the Windows DLL, 32-bit
# (on the route scripts/setup.sh chose: Debian's wine32, or the WoW64 Wine where the kernel
# runs no 32-bit programs) and x86-64. It ends with one line per build saying how it was tested
# and what passed, and fails when any suite failed or when a Wine suite could not run: the DLL
# users load is never left untested in silence.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
presets=(native asan win32 win64)

for preset in "${presets[@]}"; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done

status=0
for preset in "${presets[@]}"; do
  echo "=== test: $preset"
  rm -f "build/$preset/ctest-results.xml" "build/$preset/ctest-output.log"
  ctest --preset "$preset" -j"$jobs" --output-junit "$root/build/$preset/ctest-results.xml" 2>&1 |
    tee "build/$preset/ctest-output.log" || status=1
done

# passed failed skipped of one suite, from ctest's JUnit report; without one (a full disk, say),
# from the count ctest printed, with the skipped ones unknown ("?").
counts() {
  python3 - "$1" "$2" <<'EOF'
import re, sys, xml.etree.ElementTree as ET
try:
    suite = ET.parse(sys.argv[1]).getroot()
except (OSError, ET.ParseError):
    try:
        found = re.findall(r"(\d+) tests? failed out of (\d+)", open(sys.argv[2]).read())
    except OSError:
        found = []
    if found:
        failed, total = map(int, found[-1])
        print(total - failed, failed, "?")
    else:
        print("0 0 0")
    sys.exit()
cases = suite.findall("testcase")
skipped = sum(1 for c in cases if c.get("status") in ("notrun", "disabled") or c.find("skipped") is not None)
failed = sum(1 for c in cases if c.get("status") == "fail" or c.find("failure") is not None)
print(len(cases) - skipped - failed, failed, skipped)
EOF
}

# How each build was tested.
source tests/wine/wine_run.sh
describe() {
  case "$1" in
    native) echo "Linux, Cairo" ;;
    asan) echo "Linux, AddressSanitizer + UBSan" ;;
    win32)
      if zq_wine32_route >/dev/null; then
        echo "wine route $ZQ_ROUTE_DESCRIPTION"
      else
        echo "NOT TESTED: $(zq_wine32_route | sed 's/^SKIP: //')"
      fi
      ;;
    win64) echo "wine64 ($(/usr/lib/wine/wine64 --version 2>&1 | head -n 1))" ;;
  esac
}

echo "=== summary"
total_passed=0 total_failed=0 total_skipped=0
for preset in "${presets[@]}"; do
  read -r passed failed skipped \
    <<<"$(counts "build/$preset/ctest-results.xml" "build/$preset/ctest-output.log")"
  echo "$preset: $(describe "$preset"): $passed passed, $failed failed, $skipped skipped"
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  if [ "$skipped" = "?" ]; then
    echo "$preset: ctest wrote no report: its skipped tests are not known" >&2
    status=1
    skipped=0
  fi
  total_skipped=$((total_skipped + skipped))
  if [ $((passed + failed)) -eq 0 ]; then
    echo "$preset: no test ran" >&2
    status=1
  fi
  if [[ $preset == win* ]] && [ "$skipped" -gt 0 ]; then
    echo "$preset: $skipped Wine tests could not run: the Windows build is not proven here" >&2
    status=1
  fi
done
echo "all: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit $status
