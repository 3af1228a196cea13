#!/usr/bin/env bash
# Fuzzes the draw-file reader with libFuzzer (clang 14) for a bounded time:
#   bash scripts/fuzz.sh [seconds, default 60]
# The corpus grows in build-fuzz/corpus; a crash leaves its input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz # the fuzz preset's
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

corpus=$build/corpus
if [ ! -d "$corpus" ]; then
  mkdir -p "$corpus"
  # The first byte of an input sets how it is cut into chunks.
  printf '\x07%s' $'5\r\n17\r\n0\r\n' >"$corpus/crlf"
  printf '\x03%s' $'\xef\xbb\xbf5\n==\n*\n\n  \n17\r0' >"$corpus/mixed"
  printf '\x01%s' $'37\n-1\nabc\n 4 \n2.5\n\xff\xfe\n' >"$corpus/bad"
  printf '\x05\xff\xfe5\x00\r\x00\n\x00x\x00\n\x00\x3c\xd8\xb2\xdf' >"$corpus/utf16"
  { printf '\x0b'; head -c 1100 /dev/zero | tr '\0' 0; printf '5\n%1200s\n' 7; } >"$corpus/long"
fi
cd "$build"
# A generous hang limit: the machine may be shared, and a real hang never ends anyway.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}
exec fuzz/fuzz_drawfile -max_total_time="$seconds" -timeout=60 -rss_limit_mb=1024 \
  -max_len=8192 -print_final_stats=1 corpus
