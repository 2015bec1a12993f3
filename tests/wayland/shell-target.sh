#!/usr/bin/env bash
# The real program on a desktop whose compositor does not tell its windows (Plasma, GNOME), with a
# stand-in of the shell (KWin running Vornik's real script, or GNOME Shell running the real extension)
# on a session bus of its own, and Xvfb playing XWayland (run through tests/with-xvfb.sh):
#   1. the program finds the shell at start (its script loaded from beside the program, for KWin);
#      the X target chosen with --target-front gets the pad's key;
#   2. the shell says a native window is in front: nothing is sent, although X still has its focus
#      on the target (a key would reach it), and back in front, keys go again;
#   3. SIGTERM: the program ends cleanly and takes its script out of KWin.
# Usage: shell-target.sh VORNIK X_RECORDER SOAK_PADS_LIBRARY kwin5|kwin6|gnome
set -u
program=$1 xrecorder=$2 padlib=$3 shell=$4
here=$(cd "$(dirname "$0")" && pwd)
command -v gjs >/dev/null && command -v dbus-daemon >/dev/null || { echo "needs gjs and dbus-daemon"; exit 77; }
. "$(dirname "$0")/script-common.sh"
# A Wayland desktop, as the program sees one: no compositor of its own to ask.
export XDG_SESSION_TYPE=wayland
unset WAYLAND_DISPLAY SWAYSOCK

read -r address pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | tr '\n' ' ')
[ -n "${pid:-}" ] || { fail "no session bus"; exit 1; }
started+=("$pid")
export DBUS_SESSION_BUS_ADDRESS=$address

mkfifo "$dir/shell" "$dir/pads" "$dir/hold"
exec 4<>"$dir/hold" 3<>"$dir/pads" 5<>"$dir/shell"
case $shell in
kwin5) gjs -m "$here/standins/kwin.js" --api 5 <"$dir/shell" >"$dir/shell.log" 2>&1 & ;;
kwin6) gjs -m "$here/standins/kwin.js" --api 6 <"$dir/shell" >"$dir/shell.log" 2>&1 & ;;
gnome) gjs -m "$here/standins/gnome-shell.js" <"$dir/shell" >"$dir/shell.log" 2>&1 & ;;
esac
started+=($!)
wait_for has ready "$dir/shell.log" || { fail "the $shell stand-in did not come: $(cat "$dir/shell.log")"; exit 1; }
tell() { printf '%s\n' "$1" >&5; }

# Button 1 types A.
cat >"$dir/pad.vornik" <<'PROFILE'
{"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [],
 "joysticks": [
  {"joystick": 1, "entry": 5, "kind": 1, "key1": 65, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0}]}
PROFILE

"$xrecorder" --title xgame <"$dir/hold" >"$dir/xgame.log" 2>&1 &
recorder=$!
started+=($recorder)
wait_for has ready "$dir/xgame.log" || { fail "the X recorder did not come"; exit 1; }
sleep 600 <"$dir/hold" &
native=$!
started+=($native)
tab=$'\t'
tell "window${tab}1${tab}xgame${tab}key_recorder${tab}${recorder}${tab}1"
tell "window${tab}2${tab}Native game${tab}org.example.Game${tab}${native}${tab}0"
tell "activate${tab}1"

VORNIK_SOAK_PADS=$dir/pads LD_PRELOAD=$padlib "$program" "$dir/pad.vornik" >"$dir/vornik.log" 2>&1 &
vornik=$!
started+=($vornik)
wait_for bash -c "xdotool search --name '^Vornik ' >/dev/null" || { fail "the program's window never showed"; exit 1; }
if [ "${shell#kwin}" != "$shell" ]; then
    wait_for grep -q "^run " "$dir/shell.log" && pass "the program loaded its script into KWin and ran it" ||
        fail "the script was not loaded and run: $(cat "$dir/shell.log")"
fi
echo "attach 0 controller" >&3
sleep 0.5
xdotool search --name '^xgame$' windowfocus --sync
press() { echo "button 0 $1 1" >&3; }
release() { echo "button 0 $1 0" >&3; }

# 1. The X window in front, as the shell says and X agrees.
"$program" --target-front || fail "--target-front did not hand over"
sleep 0.3
press 0
wait_for has "press a" "$dir/xgame.log" && pass "the X target in front got the key" || fail "no key reached the X target"
release 0
wait_for has "release a" "$dir/xgame.log" || fail "the key stayed down in the X target"

# 2. A native window in front, as the shell says: X's focus is still on the target, nothing goes.
tell "activate${tab}2"
sleep 0.3
before=$(count "press a" "$dir/xgame.log")
press 0
sleep 0.6
release 0
sleep 0.3
[ "$(count "press a" "$dir/xgame.log")" -eq "$before" ] && pass "nothing was sent while the shell had a native window in front" ||
    fail "a key went out while the shell said a native window was in front"
tell "activate${tab}1"
sleep 0.3
press 0
wait_for bash -c "[ \$(grep -c 'press a' '$dir/xgame.log') -gt $before ]" && pass "back in front, the target gets keys again" ||
    fail "no key after the target came back in front"
release 0

# 3. SIGTERM: a clean end, and the script is taken out of KWin.
unloads=$(count "unloadScript vornik-windows" "$dir/shell.log")
kill -TERM "$vornik"
wait "$vornik"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after SIGTERM"
if [ "${shell#kwin}" != "$shell" ]; then
    wait_for bash -c "[ \$(grep -c 'unloadScript vornik-windows' '$dir/shell.log') -gt $unloads ]" && pass "the script was unloaded at exit" ||
        fail "the script was left in KWin"
fi

if [ "$failures" -ne 0 ]; then
    echo "--- program:"; cat "$dir/vornik.log"
    echo "--- shell:"; cat "$dir/shell.log"
    echo "--- xgame:"; tail -n 20 "$dir/xgame.log"
    exit 1
fi
echo "$shell: all cases passed"
