#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer (clang 14), each for a bounded time:
#   bash scripts/fuzz.sh [seconds per target, default 60] [drawfile|permanence, default both]
# Each target's corpus grows in build-fuzz/corpus-<target>; a crash leaves its input in
# build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=${2:-drawfile permanence}
build=build-fuzz # the fuzz preset's
cmake --preset fuzz >/dev/null
for target in $targets; do
  cmake --build --preset fuzz --target "fuzz_$target" -j2
done

# The first byte of an input sets how it is cut into chunks; for the permanence reader the
# second sets the separator, the column and how « 00 » reads.
seed() {
  local corpus=$build/corpus-$1
  # The draw file's corpus had the folder to itself before.
  [ "$1" = drawfile ] && [ -d "$build/corpus" ] && [ ! -d "$corpus" ] && mv "$build/corpus" "$corpus"
  [ -d "$corpus" ] && return
  mkdir -p "$corpus"
  case $1 in
  drawfile)
    printf '\x07%s' $'5\r\n17\r\n0\r\n' >"$corpus/crlf"
    printf '\x03%s' $'\xef\xbb\xbf5\n==\n*\n\n  \n17\r0' >"$corpus/mixed"
    printf '\x01%s' $'37\n-1\nabc\n 4 \n2.5\n\xff\xfe\n' >"$corpus/bad"
    printf '\x05\xff\xfe5\x00\r\x00\n\x00x\x00\n\x00\x3c\xd8\xb2\xdf' >"$corpus/utf16"
    { printf '\x0b'; head -c 1100 /dev/zero | tr '\0' 0; printf '5\n%1200s\n' 7; } >"$corpus/long"
    ;;
  permanence)
    printf '\x07\x04%s' $'Casino\r\n17, 5, 32, 0\r\n\r\n4,4,4,4,4,4,4,4,4\r\n37,-1,00' >"$corpus/comma"
    printf '\x03\x0c%s' $'Date;Num\xe9ro\n1;17\n2;"5"\nDate;Num\xe9ro\n3;00' >"$corpus/csv"
    printf '\x05\x86%s' $'05 17 00\n36\t01  09\n\n12 12' >"$corpus/spaces"
    printf '\x01\x02\xff\xfe1\x007\x00\n\x00x\x00\n\x00\x3c\xd8\xb2\xdf' >"$corpus/utf16"
    { printf '\x0b\x04'; for i in $(seq 60); do printf '%d, ' $((i % 37)); done; seq 0 36 | tr '\n' ,; } >"$corpus/repeat"
    ;;
  esac
}

# A generous hang limit: the machine may be shared, and a real hang never ends anyway.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}
for target in $targets; do
  seed "$target"
  (cd "$build" && fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=60 \
    -rss_limit_mb=1024 -max_len=8192 -print_final_stats=1 "corpus-$target")
done
