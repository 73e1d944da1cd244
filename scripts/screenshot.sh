#!/usr/bin/env bash
# Runs the player under a virtual X display on the demo rehearsal, waits until
# playback has followed into the first cue point and its lyrics window shows,
# saves a picture of both windows as docs/main-window.png (the picture shown in
# the README), then closes the main window as a window manager would and
# checks that the program ends cleanly and writes its settings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" xvfb x11-utils imagemagick python3-xlib
"$root/scripts/build.sh"

work="$(mktemp -d)"
cleanup() {
  kill "${player:-}" "${xvfb:-}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The program folder holds the settings; copies keep the build's own clean.
cp "$root/build/tembrel" "$work/"
cp -r "$root/build/demo" "$work/demo"

# shellcheck source=x11-helpers.sh
source "$root/scripts/x11-helpers.sh"
start_xvfb "$work"
QT_QPA_PLATFORM=xcb "$work/tembrel" "$work/demo/Rehearsal.wav" &
player=$!

main=$(window_id "Vorlane Tembrel")
# The demo's first cue point has lyrics: playback following into it shows them.
lyrics=$(window_id "Verse 1")
sleep 1
read -r mx my mw mh < <(window_box "$main")
read -r lx ly lw lh < <(window_box "$lyrics")
left=$((mx < lx ? mx : lx))
top=$((my < ly ? my : ly))
right=$((mx + mw > lx + lw ? mx + mw : lx + lw))
bottom=$((my + mh > ly + lh ? my + mh : ly + lh))
geometry="$((right - left))x$((bottom - top))+$left+$top"
# Both windows on a plain grey ground instead of the black screen around them.
import -window root -crop "${mw}x${mh}+$mx+$my" +repage "$work/main.png"
import -window root -crop "${lw}x${lh}+$lx+$ly" +repage "$work/lyrics.png"
convert -size "$((right - left))x$((bottom - top))" xc:"#d4d4d4" \
  "$work/main.png" -geometry "+$((mx - left))+$((my - top))" -composite \
  "$work/lyrics.png" -geometry "+$((lx - left))+$((ly - top))" -composite \
  -strip "$work/shot.png"
size=$(stat -c %s "$work/shot.png")
if [ "$size" -gt $((200 * 1024)) ]; then
  echo "The screenshot has $size bytes, more than 200 KiB" >&2
  exit 1
fi
cp "$work/shot.png" "$root/docs/main-window.png"
echo "Saved docs/main-window.png ($geometry, $size bytes)"

close_window "$main"
expect_clean_exit "$player"
player=""
if ! grep -qx "Pfad=$work/demo/" "$work/tembrel.ini"; then
  echo "The player did not write its settings on closing" >&2
  exit 1
fi
echo "The window closed cleanly and the settings were written"
