#!/usr/bin/env bash
# Prints the non-blank lines of the tests (tests/ and fuzz/, without the fuzz
# seed corpus) against those of the code (src/ and tools/), and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -v '/corpus/' | grep -E '\.(cpp|h|sh|py|cmake)$|CMakeLists\.txt$' |
    xargs -r cat | grep -c -v '^[[:space:]]*$' || true
}
tests=$(count tests fuzz)
code=$(count src tools)
echo "tests: $tests non-blank lines (tests/, fuzz/); code: $code (src/, tools/);" \
  "ratio $((100 * tests / code)) %"
