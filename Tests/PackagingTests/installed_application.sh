#!/usr/bin/env bash
# The application as a desktop user gets it.
#
#   installed_application.sh install <build folder> <version>
#     installs into a temporary DESTDIR with prefix /usr, checks that exactly
#     the application's files are there, that the desktop's validators accept
#     its entry and metadata, and starts the installed program on a virtual X
#     server until its window shows with the entry's window class and an icon.
#   installed_application.sh package <build folder> <version>
#     makes the Debian package with CPack and checks its files and fields.
set -euo pipefail
id=com.quarnell.VeskZul
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$1" = --inside ]; then
  program=$2 class=$3
  "$program" >"$4" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT
  window=
  for _ in $(seq 1 150); do
    window=$(xdotool search --onlyvisible --pid "$pid" --name '^VeskZul$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the installed program ended: $(cat "$4")"
    sleep 0.2
  done
  [ -n "$window" ] || fail "no window of the installed program showed"
  properties=$(xprop -id "$window" WM_CLASS _NET_WM_ICON)
  grep -q "WM_CLASS.*\"$class\"\$" <<<"$properties" || fail "window class is not $class: ${properties%%_NET*}"
  grep -q 'Icon (48 x 48)' <<<"$properties" || fail "the window carries no 48-pixel icon"
  exit 0
fi

mode=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected="./usr/bin/veskzul
./usr/share/applications/$id.desktop
./usr/share/doc/veskzul/changelog.gz
./usr/share/doc/veskzul/copyright
./usr/share/metainfo/$id.metainfo.xml
./usr/share/icons/hicolor/scalable/apps/$id.svg"
sizes="16 24 32 48 64 128 256 512"
for size in $sizes; do
  expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
expected=$(sort <<<"$expected")

if [ "$mode" = package ]; then
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || fail "$(cat "$work/cpack.log")"
  deb="$work/veskzul_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work")"
  echo "Contents:"; dpkg-deb -c "$deb"
  echo "Depends: $(dpkg-deb -f "$deb" Depends)"
  diff <(echo "$expected") <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort) || fail "package files differ"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
  dpkg-deb -f "$deb" Maintainer | grep -q '<.*@.*>' || fail "no maintainer address"
  for needed in libqt6widgets6 libqt6gui6 libc6 qt6-qpa-plugins; do
    dpkg-deb -f "$deb" Depends | grep -Eq "(^|, )$needed( |,|$)" || fail "Depends lacks $needed"
  done
  exit 0
fi

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
diff <(echo "$expected") <(cd "$work/root" && find . -type f -o -type l | sort) || fail "installed files differ"
root=$work/root/usr
for size in $sizes; do
  [ "$(identify -format %wx%h "$root/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] \
    || fail "the ${size}-pixel icon is not ${size}x${size}"
done
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"

entry=$root/share/applications/$id.desktop
# Debian 12's validator predates the SingleMainWindow key (desktop entries
# 1.5) and calls it an error; every other complaint counts.
complaints=$(desktop-file-validate "$entry" 2>&1 | grep -v 'key "SingleMainWindow"' || true)
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
metainfo=$root/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
grep -q "<release version=\"$version\" date=\"[0-9-]\{10\}\">" "$metainfo" || fail "no dated release $version in $metainfo"

class=$(sed -n 's/^StartupWMClass=//p' "$entry")
# A server number of its own, away from the other tests' search from 99.
xvfb-run -a -n $((200 + RANDOM % 600)) -s "-screen 0 1280x800x24" "$0" --inside "$root/bin/veskzul" "$class" "$work/app.log"
