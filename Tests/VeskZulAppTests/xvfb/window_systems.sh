#!/usr/bin/env bash
# Starts the application with a floating sticky stored at a known place
# [[600, 300], [340, 360]] (bottom-left points; Qt's x 600, y 240 on the
# 1400 × 900 screen), each time on a private home, in three sessions:
#   x11      Xvfb with openbox: the sticky dragged by its title strip moves
#            with the window manager, and the frame stored is where it went.
#            (Weston's own X11 window manager moves no utility window, a
#            sticky included, and its headless backend has no pointer.)
#   xwayland a headless Weston with XWayland, QT_QPA_PLATFORM unset: the
#            studio is an X11 window on XWayland's display, the log says why,
#            and the place Weston picked for the sticky is not stored.
#   wayland  the same Weston, QT_QPA_PLATFORM=wayland: no X11 window, and no
#            frame is stored, since native Wayland never tells where it is.
#
#   window_systems.sh <veskzul executable> [folder to keep the logs and screenshots in]
set -euo pipefail

stored='[[600,300],[340,360]]'

seed() { # home
  mkdir -p "$1/data/Quarnell/VeskZul" "$1/config" "$1/cache"
  cat >"$1/data/Quarnell/VeskZul/notes.json" <<EOF
[{"id": "6F1C2A44-6B0C-4C56-9F3E-2B8E7D1A0C11", "title": "Groceries", "content": "milk 2.5\nbread 3",
  "tint": "amber", "isPinned": false, "isEphemeral": false, "isFloatingSticky": true,
  "stickyFrame": $stored, "tags": [], "createdAt": "2026-03-02T09:00:00Z", "updatedAt": "2026-03-02T09:00:00Z"}]
EOF
}

frame() { # home: the sticky's stored frame, without spaces
  tr -d ' \n' <"$1/data/Quarnell/VeskZul/notes.json" | grep -o '"stickyFrame":\[\[[^]]*\],\[[^]]*\]\]' \
    | sed 's/"stickyFrame"://'
}

# Runs the application on a fresh home until its windows are mapped on
# $DISPLAY (when want_x11 is 1) or for a few seconds; leaves $pid and $home.
start_app() { # name want_x11 [QT_QPA_PLATFORM]
  home="$work/$1"
  seed "$home"
  (
    [ -z "${3:-}" ] || export QT_QPA_PLATFORM="$3"
    export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
    exec "$app" >"$shots/$1.log" 2>&1
  ) &
  pid=$!
  if [ "$2" = 1 ]; then
    for _ in $(seq 1 100); do
      xdotool search --onlyvisible --name '^VeskZul$' >/dev/null 2>&1 && break
      sleep 0.2
    done
  fi
  # The stickies open a moment after the studio.
  sleep 3
}

stop_app() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

status=0
fail() { echo "$*" >&2; status=1; }

if [ "${1:-}" = "--x11" ]; then
  app="$2" shots="$3" work="$4"
  openbox >/dev/null 2>&1 &
  wm=$!
  trap 'kill "$wm" 2>/dev/null || true' EXIT
  sleep 1
  start_app x11 1
  sticky=""
  for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    if xdotool getwindowgeometry "$window" | grep -q "Geometry: 340x360"; then sticky=$window; fi
  done
  [ -n "$sticky" ] || fail "no 340 × 360 sticky window"
  eval "$(xdotool getwindowgeometry --shell "$sticky")"
  [ "$X,$Y" = "600,240" ] || fail "the sticky opened at $X,$Y, not where it was stored"
  # Grabbed in the title strip right of the title, dragged 200 left and 150 down.
  xdotool mousemove --sync $((X + 250)) $((Y + 20))
  xdotool mousedown 1
  # Each step waits for the application, so the drag starts at the first.
  for step in $(seq 1 10); do
    sleep 0.3
    xdotool mousemove --sync $((X + 250 - 20 * step)) $((Y + 20 + 15 * step))
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 2 # past the pause before saving
  timeout 20 import -window root "$shots/x11-dragged.png"
  eval "$(xdotool getwindowgeometry --shell "$sticky")"
  # The window manager takes over once the first step passed the drag
  # threshold and moves the sticky by the rest of the way, to 420,375; a
  # sticky following the pointer itself would take the first step too.
  if [ "$X" -gt 425 ] || [ "$X" -lt 415 ] || [ "$Y" -lt 370 ] || [ "$Y" -gt 380 ]; then
    fail "the dragged sticky stands at $X,$Y, not at 420,375 where the window manager takes it"
  fi
  expected="[[$X,$((900 - Y - 360))],[340,360]]"
  [ "$(frame "$home")" = "$expected" ] || fail "stored $(frame "$home") after the drag, not $expected"
  kill -0 "$pid" 2>/dev/null || fail "the application ended early: $(cat "$shots/x11.log")"
  stop_app
  exit "$status"
fi

app="$(realpath "$1")"
work="$(mktemp -d)"
shots="${2:-$work/shots}"
mkdir -p "$shots"
weston_pid=""
cleanup() {
  [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE DISPLAY

# An X11 session. Never hangs: the X server ends with the run, at the latest after a minute.
timeout -k 5 60 xvfb-run -a -s "-screen 0 1400x900x24" "$(realpath "$0")" --x11 "$app" "$shots" "$work" || status=1

# A Wayland session with XWayland; the compositor chooses the X display.
weston --backend=headless-backend.so --xwayland --socket=veskzul-test --width=1400 --height=900 \
  --idle-time=0 >"$shots/weston.log" 2>&1 &
weston_pid=$!
display=""
for _ in $(seq 1 50); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$shots/weston.log")
  [ -n "$display" ] && break
  sleep 0.2
done
if [ -z "$display" ]; then
  echo "Weston started no XWayland:" >&2
  cat "$shots/weston.log" >&2
  exit 1
fi
export WAYLAND_DISPLAY=veskzul-test XDG_SESSION_TYPE=wayland DISPLAY="$display"

start_app xwayland 1
xdotool search --onlyvisible --pid "$pid" --name '^VeskZul$' >/dev/null 2>&1 \
  || fail "no studio window on XWayland's display $display"
grep -q 'running on it (xcb)' "$home/data/Quarnell/VeskZul/logs/veskzul.log" \
  || fail "the log does not say why the application runs on XWayland"
[ "$(frame "$home")" = "$stored" ] || fail "on XWayland the stored frame became $(frame "$home")"
stop_app
[ "$(frame "$home")" = "$stored" ] || fail "on XWayland the stored frame became $(frame "$home") at the end"

start_app wayland 0 wayland
kill -0 "$pid" 2>/dev/null || fail "the application did not run on native Wayland: $(cat "$shots/wayland.log")"
if xdotool search --pid "$pid" --name '^VeskZul$' >/dev/null 2>&1; then
  fail "forced to native Wayland, the studio still is an X11 window"
fi
stop_app
[ "$(frame "$home")" = "$stored" ] || fail "on native Wayland the stored frame became $(frame "$home")"
exit "$status"
