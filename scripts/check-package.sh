#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, starts the installed player
# the way its desktop entry does, as an unprivileged user, on the demo under a
# virtual X display, closes it and checks that the settings went to that
# user's configuration folder. The package is removed again unless --keep is
# given. Changes the system: run as root on a test machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" xvfb x11-utils python3-xlib
"$root/scripts/build.sh"
(cd "$root/build" && cpack -G DEB >/dev/null)
deb="$(ls "$root"/build/tembrel_*.deb)"

work="$(mktemp -d)"
chmod 755 "$work"
cleanup() {
  kill "${player:-}" "${xvfb:-}" 2>/dev/null || true
  if [ "${1:-}" != "--keep" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tembrel >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap 'cleanup "${1:-}"' EXIT

cp "$deb" "$work/"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$work/$(basename "$deb")" >/dev/null
desktop=/usr/share/applications/tembrel.desktop
desktop-file-validate "$desktop"

home="$work/home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
chown -R nobody:nogroup "$home"
cp -r "$root/build/demo" "$work/demo"
chmod -R a+rX "$work/demo"

# shellcheck source=x11-helpers.sh
source "$root/scripts/x11-helpers.sh"
start_xvfb "$work"
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
command="${exec_line/\%f/$work/demo/Rehearsal.wav}"
# The file path holds no blanks, so the command splits into program and file.
# shellcheck disable=SC2086
setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env HOME="$home" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb $command &
player=$!
main=$(window_id "Vorlane Tembrel")
sleep 1
close_window "$main"
expect_clean_exit "$player"
player=""

settings="$home/.config/tembrel/tembrel.ini"
if ! grep -qx "Pfad=$work/demo/" "$settings" 2>/dev/null; then
  echo "The installed player did not keep its settings in $settings" >&2
  exit 1
fi
echo "Installed $(basename "$deb"), started it from its desktop entry as a user and found"
echo "its settings in the user's configuration folder"
