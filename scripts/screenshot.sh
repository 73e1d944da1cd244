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

# Prints the id of the window with the given title once it is shown (30 s at most).
window_id() {
  for _ in $(seq 300); do
    if id=$(xwininfo -name "$1" 2>/dev/null | awk '/Window id:/{print $4}') && [ -n "$id" ] &&
      xwininfo -id "$id" | grep -q "IsViewable"; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window \"$1\" appeared" >&2
  return 1
}

# Prints "x y width height" of a window.
window_box() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}'
}

# Xvfb picks a free display itself; other virtual displays may be running.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
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

# Close the main window the way a window manager does: WM_DELETE_WINDOW.
/usr/bin/python3 - "$main" <<'PYTHON'
import sys
from Xlib import X, display
from Xlib.protocol import event
screen = display.Display()
window = screen.create_resource_object("window", int(sys.argv[1], 0))
protocols = screen.intern_atom("WM_PROTOCOLS")
delete = screen.intern_atom("WM_DELETE_WINDOW")
message = event.ClientMessage(window=window, client_type=protocols,
                              data=(32, [delete, X.CurrentTime, 0, 0, 0]))
window.send_event(message, event_mask=X.NoEventMask)
screen.flush()
PYTHON
for _ in $(seq 100); do
  kill -0 "$player" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$player" 2>/dev/null; then
  echo "The player did not end within 10 s of closing its window" >&2
  exit 1
fi
status=0
wait "$player" || status=$?
player=""
if [ "$status" -ne 0 ]; then
  echo "The player ended with status $status" >&2
  exit 1
fi
if ! grep -qx "Pfad=$work/demo/" "$work/tembrel.ini"; then
  echo "The player did not write its settings on closing" >&2
  exit 1
fi
echo "The window closed cleanly and the settings were written"
