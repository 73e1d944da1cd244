#!/usr/bin/env bash
# Prints the C++ lines of the tests (tests/ and fuzz/, without the fuzz seed
# corpus) against those of the code (src/ and tools/), and their ratio; blank
# lines and comment lines do not count.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -v '/corpus/' | grep -E '\.(cpp|h)$' |
    xargs -r cat | grep -v '^[[:space:]]*$' | grep -c -v '^[[:space:]]*//' || true
}
tests=$(count tests fuzz)
code=$(count src tools)
echo "tests: $tests lines of C++ (tests/, fuzz/); code: $code (src/, tools/);" \
  "ratio $((1000 * tests / code / 10)).$((1000 * tests / code % 10)) %"
