#!/usr/bin/env bash
# What the real player costs with no file, paused and playing a three-hour
# MP3 on a virtual X display: its share of one core and its wakeups (the
# voluntary context switches of all its threads) per second, each over
# SECONDS_EACH seconds (20 unless set). Where mpv is installed it plays the
# same file in the same run (no video, null audio output), for the ratio.
# Needs Xvfb, xwininfo, xdotool (the click on Pause) and ffmpeg (the file).
# Usage: bench/idle_cpu.sh [path of the tembrel binary]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
binary="${1:-$root/build/tembrel}"
seconds="${SECONDS_EACH:-20}"
source "$root/scripts/x11-helpers.sh"
for tool in Xvfb xwininfo xdotool ffmpeg; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done

scratch="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
start_xvfb "$scratch"
pids+=("$xvfb")

# Three hours of a tone at 192 kbit/s.
file="$scratch/Probe.mp3"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=10800" \
  -ac 2 -b:a 192k "$file"

# One line per thread of a process: id, CPU nanoseconds, voluntary context switches.
usage() {
  local task run
  for task in /proc/"$1"/task/*; do
    read -r run _ <"$task/schedstat" 2>/dev/null || continue
    echo "${task##*/} $run $(awk '/^voluntary_ctxt_switches/{print $2}' "$task/status" 2>/dev/null)"
  done
}

# Prints "label  cpu %  wakeups/s" over the measuring time, from the threads
# that live through it, and keeps the CPU share in the variable `share`.
measure() {
  usage "$2" >"$scratch/before"
  sleep "$seconds"
  usage "$2" >"$scratch/after"
  read -r share wakeups < <(awk -v s="$seconds" 'NR == FNR {cpu[$1] = $2; sw[$1] = $3; next}
    ($1 in cpu) {c += $2 - cpu[$1]; w += $3 - sw[$1]}
    END {printf "%.3f %.1f\n", c / (s * 1e7), w / s}' "$scratch/before" "$scratch/after")
  printf '%-22s %8s %% of a core %8s wakeups/s\n' "$1" "$share" "$wakeups"
}

# The player keeps its settings beside its binary: a copy of its own.
mkdir "$scratch/program"
cp "$binary" "$scratch/program/tembrel"
cd "$scratch"

"$scratch/program/tembrel" & pids+=($!)
window_id "Vorlane Tembrel" >/dev/null
sleep 2
measure "player, no file" "${pids[-1]}"
kill "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true

"$scratch/program/tembrel" "$file" & pids+=($!)
window=$(window_id "Vorlane Tembrel")
sleep 3
measure "player, playing" "${pids[-1]}"
playing=$share
# The Pause button's centre, inside the window.
xdotool mousemove --window "$window" 344 392 click 1
sleep 2
measure "player, paused" "${pids[-1]}"
kill "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true

if command -v mpv >/dev/null; then
  mpv --no-config --really-quiet --no-video --ao=null "$file" & pids+=($!)
  sleep 3
  measure "mpv, playing" "${pids[-1]}"
  awk -v p="$playing" -v m="$share" 'BEGIN{printf "player / mpv while playing: %.2f\n", p / m}'
else
  echo "mpv is not installed: no comparison"
fi
