#!/usr/bin/env bash
# Runs the player under a virtual X display and saves a picture of its main
# window as docs/main-window.png (the picture shown in the README).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" xvfb x11-utils imagemagick
"$root/scripts/build.sh"

work="$(mktemp -d)"
display=":$((90 + RANDOM % 9))"
cleanup() {
  kill "${player:-}" "${xvfb:-}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The program folder holds the settings; a copy keeps the build's own clean.
cp "$root/build/tembrel" "$work/"
mkdir -p "$work/Musik/Live" "$work/Musik/Proben"
touch "$work/Musik/Probe 1.mp3" "$work/Musik/Probe 2.mp3" "$work/Musik/Konzert.wav"
printf '[Kestrin'"'"'s Tembrel]\nPfad=%s/Musik/\n' "$work" >"$work/tembrel.ini"

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$work/tembrel" &
player=$!
for _ in $(seq 50); do
  DISPLAY="$display" xwininfo -name "Vorlane Tembrel" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
geometry=$(DISPLAY="$display" xwininfo -name "Vorlane Tembrel" |
  awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2}
       END{print w "x" h "+" x "+" y}')
DISPLAY="$display" import -window root -crop "$geometry" +repage "$root/docs/main-window.png"
echo "Saved docs/main-window.png ($geometry)"
