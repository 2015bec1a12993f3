#!/usr/bin/env bash
# The real program on a wlroots desktop (run through tests/with-sway.sh), with virtual pads, a native
# recording window for the game, a second native window and an XWayland recorder, each alone on a
# workspace of its own:
#   1. the window in front chosen with --target-front gets the pad's key, and its release, and a
#      chord with Shift arrives shifted (the compositor takes the modifiers only from what it is told);
#   2. nothing reaches a second native window in front instead (nor the target behind it);
#   3. --target chooses by application id, with another window in front; back in front, keys go in;
#   4. the pointer moves at the set speed (as the window measures it), clicks there, and turns both
#      wheels the way the binding says;
#   5. an XWayland target chosen with --target-front gets the keys as before;
#   6. a profile made for a game by its application id is loaded when that game becomes the target
#      (sway's IPC names the process by its executable; the application id still counts);
#   7. SIGTERM while the pad holds a key: the target sees the key go up before the program ends.
# With "without-ipc" last, the program runs without $SWAYSOCK, as on a wlroots desktop whose IPC it
# does not speak (labwc, Hyprland, river): no process ids, X windows told by their titles, each
# application id standing for its program.
# Usage: native-target.sh VORNIK NATIVE_RECORDER X_RECORDER SOAK_PADS_LIBRARY [without-ipc]
set -u
program=$1 native=$2 xrecorder=$3 padlib=$4 mode=${5:-}
[ -n "${SWAYSOCK:-}" ] && [ -n "${WAYLAND_DISPLAY:-}" ] || { echo "run through tests/with-sway.sh"; exit 1; }
dir_in=${XDG_RUNTIME_DIR:-/tmp}
. "$(dirname "$0")/script-common.sh"
sway() { swaymsg -q "$@"; }

# Button 1 types A; button 2 is the left pointer button; button 3 types Shift+P; buttons 4 and 5 turn
# the wheel up and right a notch; the left stick moves the pointer at 600 pixels a second at full
# deflection.
cat >"$dir/pad.vornik" <<'PROFILE'
{"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [],
 "joysticks": [
  {"joystick": 1, "entry": 5, "kind": 1, "key1": 65, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0},
  {"joystick": 1, "entry": 6, "kind": 3, "key1": 1, "key2": 0, "key3": 0, "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0},
  {"joystick": 1, "entry": 7, "kind": 1, "key1": 16, "key2": 80, "key3": 0, "keyCount": 2, "autoFireMode": 0, "autoFireDelay": 0},
  {"joystick": 1, "entry": 8, "kind": 3, "key1": 4, "key2": 0, "key3": 0, "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0},
  {"joystick": 1, "entry": 9, "kind": 3, "key1": 7, "key2": 0, "key3": 0, "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0}],
 "pads": [{"joystick": 1, "leftStick": "pointer", "pointerSpeed": 600, "pointerCurve": 1.0, "leftDeadZone": 10}]}
PROFILE
# The profile made for vornik.game2: button 1 types B.
mkdir -p "$XDG_DATA_HOME/vornik/profiles"
sed -e 's/"key1": 65/"key1": 66/' -e 's/"version": 3,/"version": 3, "programs": ["vornik.game2"],/' "$dir/pad.vornik" \
    >"$XDG_DATA_HOME/vornik/profiles/game2.vornik"

# A window alone on workspace $2, its events in $dir/$1.log.
start_native() {
    "$native" --title "$1" --app-id "vornik.$1" <"$dir/hold" >"$dir/$1.log" 2>&1 &
    started+=($!)
    wait_for has ready "$dir/$1.log" || { fail "the native window $1 did not come"; return 1; }
    sway "[title=\"^$1\$\"] move to workspace $2"
}
mkfifo "$dir/hold" "$dir/pads"
exec 4<>"$dir/hold" 3<>"$dir/pads"
start_native game 2 || exit 1
start_native other 3 || exit 1
start_native game2 5 || exit 1
"$xrecorder" --title xgame <"$dir/hold" >"$dir/xgame.log" 2>&1 &
started+=($!)
wait_for has ready "$dir/xgame.log" || { fail "the X recorder did not come"; exit 1; }
sway '[title="^xgame$"] move to workspace 4'

hide_ipc=()
[ "$mode" = without-ipc ] && hide_ipc=(env -u SWAYSOCK)
VORNIK_SOAK_PADS=$dir/pads LD_PRELOAD=$padlib "${hide_ipc[@]}" "$program" "$dir/pad.vornik" >"$dir/vornik.log" 2>&1 &
vornik=$!
started+=($vornik)
wait_for bash -c "swaymsg -t get_tree | grep -q '\"name\": \"Vornik '" || { fail "the program's window never showed"; exit 1; }
echo "attach 0 controller" >&3
sleep 0.5
focus() { sway "[title=\"^$1\$\"] focus"; }
press() { echo "button 0 $1 1" >&3; }
release() { echo "button 0 $1 0" >&3; }

# 1. --target-front on the native game, then a pad button.
focus game
"$program" --target-front || fail "--target-front did not hand over"
sleep 0.3
press 0
wait_for has "press a" "$dir/game.log" && pass "the native target got the key" || fail "no key reached the native target"
release 0
wait_for has "release a" "$dir/game.log" && pass "and its release" || fail "the key stayed down in the native target"
press 2
wait_for grep -qE '^press p [0-9]+ [0-9]+ P$' "$dir/game.log" && pass "Shift+P arrived as P" ||
    fail "the chord Shift+P did not arrive shifted: $(grep '^press' "$dir/game.log" | tail -n 2 | tr '\n' ' ')"
release 2
wait_for has "release Shift_L" "$dir/game.log" || fail "Shift stayed down in the native target"

# 2. Another native window in front: nothing goes anywhere.
focus other
sleep 0.3
before=$(count "press a" "$dir/game.log")
press 0
sleep 0.6
release 0
sleep 0.3
[ "$(count "press a" "$dir/other.log")" -eq 0 ] && pass "nothing reached the native window in front" ||
    fail "a key reached the native window that is not the target"
[ "$(count "press a" "$dir/game.log")" -eq "$before" ] && pass "nor the target behind it" ||
    fail "a key reached the target while it was behind"

# 3. --target by application id, chosen while another window is in front.
"$program" --target-front || fail "--target-front did not hand over"
sleep 0.3
"$program" --target vornik.game || fail "--target did not hand over"
sleep 0.3
press 0
sleep 0.5
release 0
[ "$(count "press a" "$dir/other.log")" -eq 0 ] || fail "--target left the window in front the target"
focus game
sleep 0.3
before=$(count "press a" "$dir/game.log")
press 0
wait_for bash -c "[ \$(grep -c 'press a' '$dir/game.log') -gt $before ]" && pass "--target chose the game by its application id" ||
    fail "--target vornik.game did not make the game the target"
release 0

# 4. The pointer: full right for a while, then the second button.
seen=$(wc -l <"$dir/game.log")
echo "axis 0 0 32767" >&3
sleep 0.8
echo "axis 0 0 0" >&3
sleep 0.2
motion=$(tail -n +$((seen + 1)) "$dir/game.log" | grep '^motion')
if [ "$(wc -l <<<"$motion")" -lt 5 ]; then
    fail "the pointer did not move in the native target: $(wc -l <<<"$motion") motion events"
else
    # Pixels a second from the first to the last motion, on the window's own coordinates.
    speed=$(awk 'NR==1{x0=$2;t0=$4} {x=$2;t=$4} END{if (t>t0) printf "%d", (x-x0)*1000000/(t-t0); else print 0}' <<<"$motion")
    echo "pointer: ${speed} px/s in the window for 600 set"
    [ "$speed" -ge 300 ] && [ "$speed" -le 900 ] && pass "the pointer moves at the set speed" ||
        fail "the pointer moved at $speed px/s, set 600"
fi
press 1
wait_for has "press Button1" "$dir/game.log" && pass "the pointer clicks in the native target" ||
    fail "no click reached the native target"
release 1
wait_for has "release Button1" "$dir/game.log" || fail "the pointer button stayed down"
press 3
sleep 0.2
release 3
press 4
sleep 0.2
release 4
# Wayland's vertical axis runs down: a notch up is -1.
wait_for has "wheel vertical -1 " "$dir/game.log" && wait_for has "wheel horizontal 1 " "$dir/game.log" &&
    pass "both wheels turn in the native target" ||
    fail "the wheels did not turn as bound: $(grep '^wheel' "$dir/game.log" | tr '\n' ' ')"

# 5. An XWayland target beside the native ones.
focus xgame
sleep 0.3
"$program" --target-front || fail "--target-front did not hand over"
sleep 0.3
press 0
wait_for has "press a" "$dir/xgame.log" && pass "the XWayland target got the key" || fail "no key reached the XWayland target"
release 0
wait_for has "release a" "$dir/xgame.log" || fail "the key stayed down in the XWayland target"

# 6. The game with a profile of its own, named by its application id.
focus game2
sleep 0.3
"$program" --target vornik.game2 || fail "--target did not hand over"
sleep 0.5
press 0
wait_for has "press b" "$dir/game2.log" && pass "the profile made for the application id was loaded" ||
    fail "the profile made for vornik.game2 was not loaded: $(grep '^press' "$dir/game2.log" | tail -n 1)"
release 0
wait_for has "release b" "$dir/game2.log" || fail "the key stayed down in game2"

# 7. SIGTERM while the pad holds its key down in the native target.
before=$(count "release b" "$dir/game2.log")
presses=$(count "press b" "$dir/game2.log")
press 0
wait_for bash -c "[ \$(grep -c 'press b' '$dir/game2.log') -gt $presses ]" || fail "the held key did not go down"
kill -TERM "$vornik"
wait "$vornik"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after SIGTERM"
wait_for bash -c "[ \$(grep -c 'release b' '$dir/game2.log') -gt $before ]" && pass "SIGTERM let go of the held key" ||
    fail "the key held at SIGTERM stayed down"

if [ "$failures" -ne 0 ]; then
    echo "--- program:"; cat "$dir/vornik.log"
    for log in game other game2 xgame; do echo "--- $log:"; tail -n 20 "$dir/$log.log"; done
    exit 1
fi
echo "native targets: all cases passed"
