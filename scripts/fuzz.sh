#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each, starting
# from its seed corpus in fuzz/corpus/, for a bounded time (FUZZ_SECONDS, 30 by
# default), two at a time. Any crash, hang or failed check fails the run; the
# input that caused it is left in build-fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
seconds="${FUZZ_SECONDS:-30}"
cd "$root"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
[ -f build-fuzz/CMakeCache.txt ] ||
  cmake -S fuzz -B build-fuzz "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++-14
cmake --build build-fuzz --parallel "$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/findings
run() {
  local name="$1" work="build-fuzz/work/$1"
  mkdir -p "$work"
  if ./build-fuzz/"$name"_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/findings/"$name"- "$work" fuzz/corpus/"$name" \
    >build-fuzz/"$name".log 2>&1; then
    echo "fuzz $name: $(grep -o 'Done [0-9]* runs' build-fuzz/"$name".log)"
  else
    echo "fuzz $name FAILED:"
    tail -n 60 build-fuzz/"$name".log
    return 1
  fi
}
status=0
targets=(cue_file settings text_codec lyrics audio_header marks)
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for name in "${targets[@]:i:2}"; do
    run "$name" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || status=1
  done
done
exit "$status"
