#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own under a small real
# window manager, so that its windows get frames as on a desktop.
set -euo pipefail
source "$(dirname "$0")/../../scripts/x11-helpers.sh"
work="$(mktemp -d)" openbox="" xvfb=""
# The window manager ends first, so that it does not see its display vanish.
trap 'kill $openbox || true; wait $openbox || true; kill $xvfb || true; wait; rm -rf "$work"' EXIT
start_xvfb "$work"
# The window manager keeps its own files in the scratch folder.
export XDG_CONFIG_HOME="$work" XDG_CACHE_HOME="$work" XDG_DATA_HOME="$work"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable --startup "touch $work/managing" >"$work/openbox.log" 2>&1 &
openbox=$!
for _ in $(seq 300); do
  if [ -e "$work/managing" ] || ! kill -0 "$openbox"; then break; fi
  sleep 0.1
done
[ -e "$work/managing" ] || { cat "$work/openbox.log" >&2; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
