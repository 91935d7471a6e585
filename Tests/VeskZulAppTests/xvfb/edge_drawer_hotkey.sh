#!/usr/bin/env bash
# Starts the application on a virtual X server of its own, with a private
# home, presses the global Ctrl+Alt+N and checks on a screenshot that the
# edge drawer slid in at the right edge of the 1440 × 900 screen; then that
# the chord closes it again and Ctrl+Alt+Shift+N floats a new sticky.
#
#   edge_drawer_hotkey.sh <veskzul executable> [folder to keep the screenshots in]
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  app="$2"
  shots="$3"
  "$app" >"$shots/app.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

  # The drawer's handle shows a moment after start-up; wait for the
  # application's first window to be mapped, then give it that moment.
  for _ in $(seq 1 100); do
    if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
      break
    fi
    sleep 0.2
  done
  sleep 2

  timeout 20 import -window root "$shots/before.png"
  timeout 10 xdotool key --clearmodifiers ctrl+alt+n
  # The slide takes 0.22 s; a loaded machine gets more.
  sleep 2
  timeout 20 import -window root "$shots/after.png"

  pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
  brightness() { convert "$1" -format "%[fx:int(255*(p{$2,$3}.r+p{$2,$3}.g+p{$2,$3}.b))]" info:; }

  status=0
  # Inside the open drawer (x 1054..1434, y 14..886): its glass differs from
  # what was there before, and it is not the bare black root window.
  for point in "1400 300" "1380 600" "1420 850"; do
    set -- $point
    before=$(pixel "$shots/before.png" "$1" "$2")
    after=$(pixel "$shots/after.png" "$1" "$2")
    if [ "$before" = "$after" ] || [ "$(brightness "$shots/after.png" "$1" "$2")" -eq 0 ]; then
      echo "no drawer at ($1, $2): before $before, after $after" >&2
      status=1
    fi
  done
  # Above the drawer (it starts 14 below the top) nothing changed.
  if [ "$(pixel "$shots/before.png" 1400 4)" != "$(pixel "$shots/after.png" 1400 4)" ]; then
    echo "the screen changed above the drawer" >&2
    status=1
  fi

  # The same chord closes the drawer again; with Shift it floats a new sticky
  # at the first cascaded place (x 1058..1398, y 47..404), where the bare
  # root window showed before.
  timeout 10 xdotool key --clearmodifiers ctrl+alt+n
  sleep 2
  timeout 20 import -window root "$shots/closed.png"
  if [ "$(pixel "$shots/before.png" 1400 300)" != "$(pixel "$shots/closed.png" 1400 300)" ]; then
    echo "the drawer did not close on the second Ctrl+Alt+N" >&2
    status=1
  fi
  timeout 10 xdotool key --clearmodifiers ctrl+alt+shift+n
  sleep 2
  timeout 20 import -window root "$shots/sticky.png"
  for point in "1300 200" "1200 380"; do
    set -- $point
    if [ "$(pixel "$shots/before.png" "$1" "$2")" = "$(pixel "$shots/sticky.png" "$1" "$2")" ] \
       || [ "$(brightness "$shots/sticky.png" "$1" "$2")" -eq 0 ]; then
      echo "no sticky at ($1, $2) after Ctrl+Alt+Shift+N" >&2
      status=1
    fi
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "the application ended early:" >&2
    cat "$shots/app.log" >&2
    status=1
  fi
  exit "$status"
fi

app="$(realpath "$1")"
work="$(mktemp -d)"
shots="${2:-$work/shots}"
mkdir -p "$shots"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# Never hangs: the whole run, X server included, ends after two and a half minutes.
timeout -k 10 150 xvfb-run -a -s "-screen 0 1440x900x24" "$(realpath "$0")" --inside "$app" "$shots"
