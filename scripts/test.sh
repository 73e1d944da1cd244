#!/usr/bin/env bash
# Installs what is missing, builds, checks the formatting and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root"
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror
scripts/test-ratio.sh
cd build
ctest --output-on-failure --parallel 2
