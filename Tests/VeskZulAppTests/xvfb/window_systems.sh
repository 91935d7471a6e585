#!/usr/bin/env bash
# The real application under the window managers people run, on a fresh home each time, with a
# sticky stored at [[600, 300], [340, 360]] (Qt's 600, 240 on 1400 × 900).
# X11 (Xvfb) under openbox, KWin (kwin_x11) and mutter, side by side, each on its own server and
# session bus, with an xterm active: the handle, the open drawer and the sticky stay mapped and
# above it; the drawer is seen at points between its closed and open frames while it slides in;
# the sticky dragged by its strip is moved by the window manager and stored where it went; on the
# second desktop the handle, the drawer and the sticky are still shown. A row whose window
# manager is not installed is skipped, saying so.
# A headless Weston (no pointer; its window manager moves no utility window): on XWayland the
# studio is an X11 window and Weston's place for the sticky is not stored; natively nothing is.
#      window_systems.sh <veskzul> [folder for logs, screenshots]
set -euo pipefail
stored='[[600,300],[340,360]]'
frame() { tr -d ' \n' <"$home/data/Quarnell/VeskZul/notes.json" | grep -o '"stickyFrame":[^]]*][^]]*]]' | cut -d: -f2; }
start() { # name [QT_QPA_PLATFORM]; waits for the sticky, which opens after the studio
  home="$work/$1" && mkdir -p "$home/data/Quarnell/VeskZul"
  printf '[{"id":"6F1C2A44-6B0C-4C56-9F3E-2B8E7D1A0C11","title":"Groceries","content":"milk 2","tint":"amber","isPinned":false,"isEphemeral":false,"isFloatingSticky":true,"stickyFrame":%s,"tags":[],"createdAt":"2026-03-02T09:00:00Z","updatedAt":"2026-03-02T09:00:00Z"}]' \
    "$stored" >"$home/data/Quarnell/VeskZul/notes.json"
  HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
    QT_QPA_PLATFORM="${2:-}" "$app" >"$shots/$1.log" 2>&1 &
  pid=$! && sleep 6
}
status=0
check() { if ! eval "$1"; then echo "${wm:-wayland}: $2" >&2; status=1; fi; }

if [ "${1:-}" = "--x11" ]; then
  wm="$2" app="$3" shots="$4" work="$5"
  trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
  # The window manager's own settings in a home of its own; a runtime folder of its own for each
  # row's application, which would otherwise hand over to another row's as a second launch.
  export HOME="$work/$wm-wm" XDG_CONFIG_HOME="$work/$wm-wm/config" XDG_RUNTIME_DIR="$work/$wm-wm/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  case $wm in
    openbox) openbox >"$shots/$wm-wm.log" 2>&1 & ;;
    kwin) QT_QPA_PLATFORM=xcb kwin_x11 --replace >"$shots/$wm-wm.log" 2>&1 & ;;
    mutter) mutter --x11 --replace >"$shots/$wm-wm.log" 2>&1 & ;;
  esac
  for _ in $(seq 1 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.2; done
  xterm -geometry 30x4+10+10 -e sleep 300 &
  for _ in $(seq 1 50); do xterm=$(xdotool search --onlyvisible --class xterm 2>/dev/null | head -1) && [ -n "$xterm" ] && break; sleep 0.2; done
  sleep 1 && import -window root "$shots/$wm-bare.png"
  start "$wm"
  window() { for w in $(xdotool search --onlyvisible --pid "$pid"); do
    if xdotool getwindowgeometry "$w" | grep -q "Geometry: $1"; then echo "$w"; fi; done | head -1; }
  # A loaded machine starts three at once slowly: wait for the sticky, which comes last.
  for _ in $(seq 1 60); do sticky=$(window 340x360) && [ -n "$sticky" ] && break; sleep 0.5; done
  sleep 1 && handle=$(window 18x112)
  [ -n "$sticky" ] && [ -n "$handle" ] || { echo "$wm: no sticky ($sticky) or handle ($handle)" >&2; exit 1; }
  eval "$(xdotool getwindowgeometry --shell "$sticky")"
  check '[ "$X,$Y" = 600,240 ]' "the sticky opened at $X,$Y"
  # The slide in, as the X server saw the drawer's window move (from the second opening on,
  # once the window exists).
  xdotool key --clearmodifiers ctrl+alt+n && sleep 1.5 && drawer=$(window 380x872)
  [ -n "$drawer" ] || { echo "$wm: Ctrl+Alt+N opened no drawer" >&2; exit 1; }
  xdotool key --clearmodifiers ctrl+alt+n && sleep 1.5
  xev -id "$drawer" -event structure >"$shots/$wm-slide.log" & xev=$!
  sleep 0.5 && xdotool windowactivate --sync "$xterm" && xdotool key --clearmodifiers ctrl+alt+n && sleep 1.5
  kill $xev
  # On its way in, before the whole drawer is on the screen: part of it shown (narrower than
  # 380), or its left edge right of 1400 - 380 = 1020. Not where a window manager that
  # refuses windows off the screen puts it at once.
  between=$(grep -o "([0-9-]*,[0-9-]*), width [0-9]*" "$shots/$wm-slide.log" | sed 's/[(),]/ /g' | sort -u \
    | awk '($4 > 1 && $4 < 380) || ($1 > 1020 && $1 < 1400)' | wc -l || true)
  check '[ "$between" -ge 2 ]' "the drawer was seen at $between places on its way in"
  eval "$(xdotool getwindowgeometry --shell "$drawer")"
  check '[ "$X,$Y" = 1014,14 ]' "the open drawer stands at $X,$Y"
  # Another application active: everything stays shown and above it.
  xdotool windowactivate --sync "$xterm" && sleep 1
  check '[ "$(xdotool getactivewindow)" = "$xterm" ]' "the xterm could not be made active"
  stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | tr '\n' ' ')
  at() { echo "$stacking" | tr ' ' '\n' | grep -n "^$(printf '0x%x' "$1")\$" | cut -d: -f1; }
  for name in handle drawer sticky; do
    check 'xwininfo -id ${!name} | grep -q IsViewable' "the $name is not mapped while the xterm is active"
    check '[ "$(at ${!name})" -gt "$(at $xterm)" ]' "the $name is not above the active xterm: $stacking"
  done
  import -window root "$shots/$wm-xterm-active.png"
  # Each step waits for the application, so the window manager takes over at the first
  # and moves the sticky by the others: openbox by the other nine, to 420,375, not to
  # 400,390 where one following the pointer itself would stand.
  xdotool mousemove --sync 850 260 mousedown 1
  for step in $(seq 1 10); do sleep 0.3 && xdotool mousemove --sync $((850 - 20 * step)) $((260 + 15 * step)); done
  sleep 0.3 && xdotool mouseup 1 && sleep 2 && import -window root "$shots/$wm-dragged.png"
  eval "$(xdotool getwindowgeometry --shell "$sticky")"
  if [ "$wm" = openbox ]; then
    check '[ $X -ge 415 ] && [ $X -le 425 ] && [ $Y -ge 370 ] && [ $Y -le 380 ]' "the dragged sticky stands at $X,$Y"
  else
    check '[ $X -le 480 ] && [ $Y -ge 320 ]' "the dragged sticky stands at $X,$Y"
  fi
  check '[ "$(frame)" = "[[$X,$((540 - Y))],[340,360]]" ]' "stored $(frame) for a sticky at $X,$Y"
  # The second desktop: the xterm stays behind, the panels come along.
  xdotool set_num_desktops 2 && sleep 0.5 && xdotool set_desktop 1 && sleep 1.5
  import -window root "$shots/$wm-desktop2.png"
  check '[ "$(xdotool get_desktop)" = 1 ] && [ "$(xdotool get_desktop_for_window "$xterm")" = 0 ]' \
    "no second desktop to switch to"
  pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
  for point in "handle 1003 450" "drawer 1200 450" "sticky $((X + 170)) $((Y + 180))"; do
    read -r name px py <<<"$point"
    check '[ "$(pixel "$shots/$wm-bare.png" $px $py)" != "$(pixel "$shots/$wm-desktop2.png" $px $py)" ]' \
      "the $name is not shown on the second desktop"
  done
  exit "$status"
fi

app="$(realpath "$1")" work="$(mktemp -d)"
shots="${2:-$work/shots}" && mkdir -p "$shots" "$work/runtime" && chmod 700 "$work/runtime"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY XDG_SESSION_TYPE DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
# The three window managers at once, each on its own X server (searched for from a number of
# its own, away from the others') and its own session bus, so none reaches the desktop's own.
rows=()
for wm in openbox kwin mutter; do
  binary=$(case $wm in kwin) echo kwin_x11;; *) echo $wm;; esac)
  if ! command -v "$binary" >/dev/null; then echo "$wm: skipped, $binary is not installed" >&2; continue; fi
  timeout -k 5 80 xvfb-run -a -n $((200 + ${#rows[@]} * 250 + RANDOM % 200)) -s "-screen 0 1400x900x24" \
    dbus-run-session -- "$(realpath "$0")" --x11 "$wm" "$app" "$shots" "$work" &
  rows+=($!)
done
wm=
for row in "${rows[@]}"; do wait "$row" || status=1; done

weston --backend=headless-backend.so --xwayland --socket=veskzul-test --width=1400 --height=900 >"$shots/weston.log" 2>&1 &
for _ in $(seq 1 50); do grep -q "xserver listening" "$shots/weston.log" && break; sleep 0.2; done
export WAYLAND_DISPLAY=veskzul-test XDG_SESSION_TYPE=wayland DISPLAY=$(grep -o "display :[0-9]*" "$shots/weston.log" | cut -c9-)
start xwayland
check 'xdotool search --onlyvisible --pid $pid --name "^VeskZul\$" >/dev/null' "no studio window on XWayland's display $DISPLAY"
check 'grep -q "running on it (xcb)" "$home/data/Quarnell/VeskZul/logs/veskzul.log"' "the log does not say why"
kill $pid && wait $pid || true
check '[ "$(frame)" = "$stored" ]' "on XWayland the stored frame became $(frame)"
start wayland wayland
check '! xdotool search --pid $pid --name "^VeskZul\$" >/dev/null' "forced to native Wayland, the studio is an X11 window"
kill $pid && wait $pid || true
check '[ "$(frame)" = "$stored" ]' "on native Wayland the stored frame became $(frame)"
exit "$status"
