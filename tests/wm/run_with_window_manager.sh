#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own, managed by a small
# real window manager, so that its windows get frames as on a desktop.
# Usage: run_with_window_manager.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/x11-helpers.sh
source "$root/scripts/x11-helpers.sh"

work="$(mktemp -d)"
cleanup() {
  # The window manager goes first, so that it does not see its display vanish.
  if [ -n "${openbox:-}" ]; then
    kill "$openbox" 2>/dev/null || true
    wait "$openbox" 2>/dev/null || true
  fi
  if [ -n "${xvfb:-}" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work"
# The window manager's own files stay in the scratch folder.
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable --startup "touch $work/managing" >"$work/openbox.log" 2>&1 &
openbox=$!
for _ in $(seq 300); do
  [ -e "$work/managing" ] && break
  kill -0 "$openbox" 2>/dev/null || break
  sleep 0.1
done
if [ ! -e "$work/managing" ]; then
  echo "The window manager did not start on display $DISPLAY" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
