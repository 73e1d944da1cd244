#!/usr/bin/env bash
# Builds the player and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs every test there. The
# first finding fails the run. Leak checking is off: Qt, GLib and GStreamer
# keep process-lifetime allocations that it would report.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cd "$root"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
[ -f build-asan/CMakeCache.txt ] ||
  cmake -S . -B build-asan "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DTEMBREL_SANITIZE=ON
cmake --build build-asan --parallel "$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=0:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd build-asan
ctest --output-on-failure --parallel 2 "$@"
