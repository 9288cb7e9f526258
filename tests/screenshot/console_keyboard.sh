#!/usr/bin/env bash
# The real console on an X server, worked from the keyboard as a technician
# would: the settings dialog's baud rate changed with Tab and the arrow keys,
# Enter in the console's edit boxes, Esc to leave. Screenshots go to OUT_DIR.
#
# usage: console_keyboard.sh CONSOLE OUT_DIR   (under xvfb-run)
set -euo pipefail

console=$(realpath "$1")
out=$(realpath "$2")
work=$(mktemp -d)
cd "$work"
pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The visible window whose whole title is $1.
window() { timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
keys() { xdotool key --delay 50 "$@"; }
same() { [ "$(compare -metric AE "$1" "$2" /dev/null 2>&1 || true)" = "0" ]; }
# Photographs window $1 into OUT_DIR/$2 once two looks in a row agree: the
# program has drawn what the keys did.
shoot() {
  import -window "$1" "$work/look.png"
  for _ in $(seq 50); do
    import -window "$1" "$out/$2"
    same "$work/look.png" "$out/$2" && return 0
    cp "$out/$2" "$work/look.png"
  done
  fail "window $1 keeps changing"
}

QT_QPA_PLATFORM=xcb "$console" --simulate --lang zh >"$work/console.log" 2>&1 &
pid=$!

settings=$(window '通讯设置') || fail "no settings dialog"
[ "$(xdotool getwindowname "$settings")" = "通讯设置" ] || fail "settings title carries more"
xdotool windowfocus --sync "$settings"
# OK has the first focus; Tab, Tab, Tab: cancel, address, the baud rate set.
keys Tab Tab Tab
shoot "$settings" keyboard-settings-9600.png
keys Up
shoot "$settings" keyboard-settings-4800.png
same "$out/keyboard-settings-9600.png" "$out/keyboard-settings-4800.png" &&
  fail "the arrow key changed nothing"
keys Down
shoot "$settings" keyboard-settings-back.png
same "$out/keyboard-settings-9600.png" "$out/keyboard-settings-back.png" ||
  fail "the arrow key did not come back to 9600"
keys Return

title='ZT6100单相电流表调试-Korvessa'
main=$(window "$title") || fail "no console window"
[ "$(xdotool getwindowname "$main")" = "$title" ] || fail "console title carries more"
xdotool windowfocus --sync "$main"
# 读参数数据 has the first focus; past the seven buttons is the upper threshold.
keys Tab Tab Tab Tab Tab Tab Tab
xdotool type --delay 50 "123"
keys Return Return
shoot "$main" keyboard-console.png
kill -0 "$pid" 2>/dev/null || fail "Enter in an edit box ended the console"

keys Escape
timeout 10 tail --pid="$pid" -f /dev/null || fail "Esc did not end the console"
wait "$pid" || fail "the console ended with status $?"
pid=""
echo "keyboard run passed; screenshots in $out"
