#!/usr/bin/env bash
# The real program on Plasma (run through tests/with-kwin.sh): a real KWin, headless, with XWayland,
# the program an X client of that XWayland that learns the windows from its own script inside KWin:
#   1. the program loads its script into KWin; the X recorder KWin brings in front, chosen with
#      --target-front, gets the pad's key;
#   2. a native window opens and KWin activates it: nothing reaches the X target behind it; the program
#      knows the native window (--target by its application id is taken), and what it sends for it
#      (nothing, without uinput: KWin lends its virtual keyboard to input methods only) reaches no
#      X window either;
#   3. the X recorder activated again is not the target until --target-front chooses it; then keys
#      arrive;
#   4. SIGTERM: the program ends with status 0 and its script is out of KWin.
# Usage: kwin-target.sh VORNIK X_RECORDER NATIVE_RECORDER SOAK_PADS_LIBRARY
set -u
program=$1 xrecorder=$2 nativerecorder=$3 padlib=$4
[ -n "${WAYLAND_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "run through tests/with-kwin.sh"; exit 1; }
command -v gdbus >/dev/null && command -v xdotool >/dev/null || { echo "needs gdbus and xdotool"; exit 77; }
dir_in=$XDG_RUNTIME_DIR
. "$(dirname "$0")/script-common.sh"
# Plasma's session says so; the program learns nothing else from the environment.
export XDG_SESSION_TYPE=wayland
note() { echo "note: $*"; }
scriptLoaded() {
    gdbus call --session -d org.kde.KWin -o /Scripting -m org.kde.kwin.Scripting.isScriptLoaded vornik-windows 2>&1
}

# Button 1 types A.
cat >"$dir/pad.vornik" <<'PROFILE'
{"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [],
 "joysticks": [
  {"joystick": 1, "entry": 5, "kind": 1, "key1": 65, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0}]}
PROFILE

mkfifo "$dir/pads" "$dir/hold"
exec 4<>"$dir/hold" 3<>"$dir/pads"
"$xrecorder" --title xgame <"$dir/hold" >"$dir/xgame.log" 2>&1 &
started+=($!)
wait_for has ready "$dir/xgame.log" || { fail "the X recorder did not come"; exit 1; }

VORNIK_SOAK_PADS=$dir/pads LD_PRELOAD=$padlib "$program" "$dir/pad.vornik" >"$dir/vornik.log" 2>&1 &
vornik=$!
started+=($vornik)
wait_for bash -c "xdotool search --name '^Vornik ' >/dev/null" || { fail "the program's window never showed"; exit 1; }
loaded() { [ "$(scriptLoaded)" = "(true,)" ]; }
wait_for loaded &&
    pass "the program loaded its script into KWin" || fail "KWin has no script vornik-windows: $(scriptLoaded)"
echo "attach 0 controller" >&3
sleep 0.5
press() { echo "button 0 $1 1" >&3; }
release() { echo "button 0 $1 0" >&3; }
# While no X window is in front, xdotool complains that _NET_ACTIVE_WINDOW is empty: not a failure.
activate() { xdotool search --name "$1" windowactivate --sync 2>&1 | grep -v "_NET_ACTIVE_WINDOW] failed"; [ "${PIPESTATUS[0]}" -eq 0 ]; }
# Whether the pad's key reaches the X recorder: "arrives" waits for it, "stays-out" gives it time.
key() {
    local before
    before=$(count "press a" "$dir/xgame.log")
    press 0
    if [ "$1" = arrives ]; then
        wait_for bash -c "[ \$(grep -c 'press a' '$dir/xgame.log') -gt $before ]"
        local arrived=$?
        release 0
        wait_for bash -c "[ \$(grep -c 'release a' '$dir/xgame.log') -gt $before ]" || fail "the key stayed down in the X target"
        return $arrived
    fi
    sleep 0.6
    release 0
    sleep 0.3
    [ "$(count "press a" "$dir/xgame.log")" -eq "$before" ]
}

# 1. The X recorder in front: KWin activates it, the program hears so from its script.
activate '^xgame$' || fail "xdotool could not activate the X recorder"
sleep 0.3
"$program" --target-front || fail "--target-front did not hand over"
sleep 0.3
has "no window in front" "$dir/vornik.log" && fail "the program knew no window in front: $(cat "$dir/vornik.log")"
key arrives && pass "the X target in front got the key" || fail "no key reached the X target"

# 2. A native window: KWin activates it as it opens. X may keep its focus on the X target behind.
"$nativerecorder" --title game --app-id vornik.game <"$dir/hold" >"$dir/native.log" 2>&1 &
started+=($!)
wait_for has "focus in" "$dir/native.log" || fail "KWin did not activate the native window: $(cat "$dir/native.log")"
sleep 0.3
key stays-out && pass "nothing reached the X target behind the native window" ||
    fail "a key reached the X target while a native window was in front"
"$program" --target vornik.game || fail "--target did not hand over"
sleep 0.3
has "no window of a program named vornik.game" "$dir/vornik.log" &&
    fail "the program does not know the native window KWin told it: $(cat "$dir/vornik.log")" ||
    pass "the native window is the target, by its application id"
key stays-out && pass "nothing meant for the native window reached the X recorder" ||
    fail "a key for the native window reached the X recorder"
has "press a" "$dir/native.log" && note "the native window got the key" || note "nothing could be sent into the native window"

# 3. The X recorder in front again: not the target (the native window is) until chosen.
activate '^xgame$' || fail "xdotool could not activate the X recorder again"
wait_for has "focus out" "$dir/native.log" || fail "the native window kept the focus"
sleep 0.3
key stays-out && pass "the X window in front is not the target before it is chosen" ||
    fail "a key reached the X window in front while the native window was the target"
"$program" --target-front || fail "--target-front did not hand over"
sleep 0.3
key arrives && pass "chosen again with --target-front, the X recorder gets keys" || fail "no key after the X recorder was chosen again"

# 4. SIGTERM: a clean end, and the script is out of KWin.
kill -TERM "$vornik"
wait "$vornik"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after SIGTERM"
! loaded && pass "the script was unloaded at exit" || fail "the script was left in KWin: $(scriptLoaded)"

if [ "$failures" -ne 0 ]; then
    echo "--- program:"; cat "$dir/vornik.log"
    echo "--- xgame:"; tail -n 20 "$dir/xgame.log"
    echo "--- native:"; tail -n 20 "$dir/native.log"
    exit 1
fi
echo "kwin: all cases passed"
