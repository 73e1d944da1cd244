# Shell functions for running the player on a virtual X display; sourced by
# the scripts that start it there.

# Starts Xvfb on a display it picks itself (others may be running), keeps its
# process id in xvfb and exports DISPLAY. Takes a scratch folder.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$1/display" &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$1/display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(cat "$1/display")"
}

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

# Asks a window to close the way a window manager does: WM_DELETE_WINDOW.
close_window() {
  /usr/bin/python3 - "$1" <<'PYTHON'
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
}

# Waits up to 10 s for a process to end; fails unless it ended with status 0.
expect_clean_exit() {
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$1" 2>/dev/null; then
    echo "The player did not end within 10 s of closing its window" >&2
    return 1
  fi
  local status=0
  wait "$1" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "The player ended with status $status" >&2
    return 1
  fi
}
