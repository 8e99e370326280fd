#!/usr/bin/env bash
# Coverage-guided fuzzing with libFuzzer, on demand (CI only replays the saved corpora, in the
# asan build). Each harness searches from its corpus in tests/fuzz/corpus/NAME with the words of
# tests/fuzz/dict/NAME.dict; afterwards the corpus is minimised back into that folder, and
# inputs that found a fault are left as build/fuzz/crash-NAME-*.
#
#   scripts/fuzz.sh [SECONDS] [NAME...]    SECONDS per harness (600); NAME among
#                                         arguments script bmp jpeg actions (all)
#
# The fuzzers run at the lowest priority (nice 19), so that builds on the machine keep the CPU.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

seconds=${1:-600}
[ $# -gt 0 ] && shift
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(arguments script bmp jpeg actions)

# clang and libFuzzer come from Debian; installed on first use, not by scripts/setup.sh.
need=()
for p in clang-14 libclang-rt-14-dev; do
  [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" = 0 ] || SUDO="sudo"
  echo "fuzz: installing ${need[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

cmake --preset fuzz >/dev/null
targets=()
for name in "${names[@]}"; do targets+=("fuzz_$name"); done
cmake --build --preset fuzz -j2 --target "${targets[@]}"

# Longest input of each harness: small inputs keep the corpora small and the runs quick.
declare -A max_len=([arguments]=256 [script]=2048 [bmp]=4096 [jpeg]=4096 [actions]=512)
# Action sequences keep caches (fonts, buffers) from one input to the next, which would make
# libFuzzer look for leaks after nearly every input; the soak test and the asan replay look for
# them instead.
declare -A extra=([actions]=-detect_leaks=0)

# fontconfig keeps a few blocks that LeakSanitizer would blame on the input that first drew text.
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"

status=0
for name in "${names[@]}"; do
  fuzzer="build/fuzz/tests/fuzz/fuzz_$name"
  corpus="tests/fuzz/corpus/$name"
  work="build/fuzz/corpus-$name"
  mkdir -p "$work" "$corpus"
  cp -n "$corpus"/* "$work"/ 2>/dev/null || true
  dict=()
  [ -f "tests/fuzz/dict/$name.dict" ] && dict=("-dict=tests/fuzz/dict/$name.dict")
  echo "=== fuzz $name: $seconds s"
  # The CPU time goes into the log too: at the lowest priority it can be far below the time
  # (and so the timeout is generous: a slow input is a starved one more often than not).
  TIMEFORMAT="cpu seconds: %U user, %S system, %R elapsed"
  { time nice -n 19 "$fuzzer" "$work" "${dict[@]}" -max_total_time="$seconds" \
      -max_len="${max_len[$name]}" ${extra[$name]:-} -timeout=120 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/crash-$name-"; } >"build/fuzz/$name.log" 2>&1 || true
  grep -E '^#[0-9]+ +(INITED|DONE)|stat::number_of_executed_units|cpu seconds|ERROR|SUMMARY' \
    "build/fuzz/$name.log" || true
  if grep -q -E '^==[0-9]+==ERROR|SUMMARY: .*Sanitizer|fuzz check failed|deadly signal' \
      "build/fuzz/$name.log"; then
    echo "fuzz $name: found a fault, see build/fuzz/$name.log and build/fuzz/crash-$name-*"
    status=1
  fi
  # Keep the smallest set of inputs that covers what the whole set covers.
  minimised=$(mktemp -d)
  nice -n 19 "$fuzzer" -merge=1 -max_len="${max_len[$name]}" "$minimised" "$work" \
    >"build/fuzz/$name-merge.log" 2>&1 || true
  rm -f "$corpus"/*
  cp "$minimised"/* "$corpus"/
  rm -rf "$minimised"
  echo "fuzz $name: $(ls "$corpus" | wc -l) inputs kept in $corpus"
done
exit $status
