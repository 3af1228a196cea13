#!/usr/bin/env bash
# The tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (the asan
# preset, in build-sanitize/).
set -euo pipefail
cd "$(dirname "$0")/.."
PRESET=asan bash scripts/test.sh
