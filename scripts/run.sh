#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player with the recording
# given, or with the demo rehearsal the build writes when none is given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
if [ $# -eq 0 ]; then
  set -- "$root/build/demo/Rehearsal.wav"
fi
exec "$root/build/tembrel" "$@"
