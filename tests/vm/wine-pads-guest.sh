#!/usr/bin/env bash
# In the lab's guest, under its Xvfb (wine-pads.sh starts it): the Windows program under Wine, a test
# window that records the key messages it gets (vornik_win32_testwindow) as the target, and pads made
# through uinput (vornik_uinput_pad), plugged in after the program started.
#
# The profile: pad 1's button 1 presses A, its up and right press U and R; pad 2's button 1 B; pad 3's
# button 1 G.
#   1. An Xbox 360 pad (XInput) gets page 1: its A reaches the window as A with its scan code, the
#      D-pad's up as U, the stick pushed right past its third as R, each let go with its input.
#   2. A second Xbox 360 pad gets page 2 (B).
#   3. A generic USB pad (winmm only) gets page 3 (G).
#   4. The first pad pulled out while its A holds A (and only A): A is let go and the connection-error
#      box comes. OK while it is still out, the target in front again: the box comes again (its page
#      reads no other pad).
#   5. Plugged in again and OK: each Xbox pad on its own page again (A, then B).
# Reads wine, wineserver, folder, testwindow, pad_tool, pads and work from the environment; writes
# work/pads.png (the pages) and work/figures.
set -uo pipefail
cd "$work" || exit 1
log=$work/target.log
: >"$log"
failures=0
fail() {
    echo "  FAILED: $*"
    failures=$((failures + 1))
}
pass() { echo "  ok: $*"; }
now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.1f\n", a - b }'; }
# Waits up to $1 seconds for the rest to succeed (the guest's CPU is a software one: slow).
wait_for() {
    local limit=$1 start
    shift
    start=$(date +%s)
    while [ $(($(date +%s) - start)) -lt "$limit" ]; do
        "$@" && return 0
        sleep 0.3
    done
    return 1
}
logged() { tr -d '\r' <"$log" | grep -qx "$1"; }
count() { tr -d '\r' <"$log" | grep -cx "$1"; }
box_up() { xdotool search --name '^Message$' >/dev/null 2>&1; }
running() { pgrep -f 'vornik[.]exe' >/dev/null; }
# OK in the box: its default button, by Enter with the box in front.
answer_ok() {
    "$wine" "$testwindow" front Message
    sleep 0.5
    xdotool key Return
}

# A pad: a vornik_uinput_pad fed through a FIFO on file descriptor $2 (the FIFO in the guest's own
# /run: the shared folder holds none).
mkdir -p /run/pads
start_pad() { # NAME FD DESCRIPTION
    mkfifo "/run/pads/$1.in"
    "$pad_tool" "$pads/$3.pad" <"/run/pads/$1.in" >"$work/$1.out" 2>&1 &
    eval "exec $2>/run/pads/$1.in"
}
say() { echo "$2" >&"$1"; sleep 0.2; }
# Presses button $4 of the pad on FD $1 every 2 s until the line $2 is logged once more than before,
# for up to $3 s.
press_until() {
    local fd=$1 line=$2 limit=$3 start before
    start=$(date +%s)
    before=$(count "$line")
    while [ $(($(date +%s) - start)) -lt "$limit" ]; do
        say "$fd" "key $4 1"
        sleep 0.6
        say "$fd" "key $4 0"
        [ "$(count "$line")" -gt "$before" ] && return 0
        sleep 1.2
        [ "$(count "$line")" -gt "$before" ] && return 0
    done
    return 1
}

cat >profile.vornik <<'EOF'
{
  "format": "vornik-profile",
  "version": 1,
  "keyboard": [],
  "moves": [],
  "joysticks": [
    {"joystick": 1, "entry": 5, "kind": 1, "key1": 65, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0},
    {"joystick": 1, "entry": 1, "kind": 1, "key1": 85, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0},
    {"joystick": 1, "entry": 4, "kind": 1, "key1": 82, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0},
    {"joystick": 2, "entry": 5, "kind": 1, "key1": 66, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0},
    {"joystick": 3, "entry": 5, "kind": 1, "key1": 71, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0}
  ]
}
EOF

t0=$(now)
"$wine" "$testwindow" window VornikPadTarget "$log" >/dev/null 2>&1 &
wait_for 120 grep -qs ready "$log" || { echo "  FAILED: the test window did not open"; exit 1; }
echo "wine_window_s: $(since "$t0")" >>figures
t0=$(now)
"$wine" "$folder/vornik.exe" --lang en profile.vornik >vornik.log 2>&1 &
if ! wait_for 300 xdotool search --name '^Vornik ' >/dev/null 2>&1; then
    echo "  FAILED: no main window"
    cat vornik.log
    exit 1
fi
echo "wine_program_start_s: $(since "$t0")" >>figures
sleep 3
# The target: the test window in front, CTRL+J.
"$wine" "$testwindow" front VornikPadTarget
sleep 1
xdotool keydown ctrl keydown j
sleep 0.5
xdotool keyup j keyup ctrl
sleep 2

# 1. The first Xbox pad.
start_pad padA 7 xbox360
t0=$(now)
say 7 plug
if press_until 7 "down 65 30 0" 120 BTN_SOUTH; then
    echo "wine_plug_to_key_s: $(since "$t0")" >>figures
    pass "an Xbox 360 pad plugged in after start: its A reaches the window as A, scan code 30"
else
    fail "no A from the first Xbox pad"
fi
wait_for 20 logged "up 65 30 0" || fail "A was not let go"
say 7 "abs ABS_HAT0Y -1"
wait_for 20 logged "down 85 22 0" && pass "D-pad up: U" || fail "D-pad up pressed no U"
say 7 "abs ABS_HAT0Y 0"
wait_for 20 logged "up 85 22 0" || fail "U was not let go"
say 7 "abs ABS_X 32767"
wait_for 20 logged "down 82 19 0" && pass "the stick past its right third: R" || fail "the stick pushed right pressed no R"
say 7 "abs ABS_X 0"
wait_for 20 logged "up 82 19 0" || fail "R was not let go"

# 2. The second Xbox pad.
start_pad padB 8 xbox360
say 8 plug
press_until 8 "down 66 48 0" 120 BTN_SOUTH && pass "a second Xbox 360 pad: page 2 (B)" || fail "no B from the second Xbox pad"

# 3. A generic pad: winmm only.
start_pad padC 9 generic-usb
say 9 plug
press_until 9 "down 71 34 0" 120 BTN_TRIGGER && pass "a generic USB pad: page 3 (G)" || fail "no G from the generic pad"
# For a person to look at: the first pad's page (its tab at the top left of the client area).
"$wine" "$testwindow" front "$(xdotool getwindowname "$(xdotool search --name '^Vornik ' 2>/dev/null | head -1)")"
xdotool mousemove --window "$(xdotool search --name '^Vornik ' 2>/dev/null | head -1)" 42 57 click 1
sleep 3
import -window root "$work/pads.png" 2>/dev/null
"$wine" "$testwindow" front VornikPadTarget
sleep 1

# 4. The first pulled out with A held.
as_before=$(count "down 65 30 0")
bs_before=$(count "down 66 48 0")
say 7 "key BTN_SOUTH 1"
wait_for 20 bash -c "[ \$(tr -d '\r' <'$log' | grep -cx 'down 65 30 0') -gt $as_before ]" || fail "A held: no key"
[ "$(count "down 66 48 0")" -eq "$bs_before" ] || fail "the first pad's button pressed page 2's B too"
ups=$(count "up 65 30 0")
t0=$(now)
say 7 unplug
wait_for 60 bash -c "[ \$(tr -d '\r' <'$log' | grep -cx 'up 65 30 0') -gt $ups ]" &&
    pass "the pad pulled out with A held: A let go" || fail "A still held after the pad was pulled out"
if wait_for 60 box_up; then
    echo "wine_unplug_to_box_s: $(since "$t0")" >>figures
    pass "the connection-error box"
else
    fail "no connection-error box after the first pad went"
fi
answer_ok
sleep 2
running || fail "the program ended on OK"
# The pads are read while the target is in front: the target again, and its page asks again.
"$wine" "$testwindow" front VornikPadTarget
wait_for 60 box_up && pass "OK with the pad still out, the target in front: the box again, its page reads no other pad" ||
    fail "no box with the first pad still out: its page reads another pad?"

# 5. Back, and OK.
say 7 plug
sleep 8
answer_ok
sleep 2
"$wine" "$testwindow" front VornikPadTarget
b_before=$(count "down 66 48 0")
press_until 7 "down 65 30 0" 90 BTN_SOUTH && pass "the first pad back: page 1 (A)" || fail "the first pad back pressed no A"
a_before=$(count "down 65 30 0")
press_until 8 "down 66 48 0" 60 BTN_SOUTH && pass "the second pad still on page 2 (B)" ||
    fail "the second pad no longer presses B"
[ "$(count "down 65 30 0")" -eq "$a_before" ] && [ "$(count "down 66 48 0")" -gt "$b_before" ] ||
    fail "a pad pressed the other's page"
[ "$(count "down 65 30 0")" -eq "$(count "up 65 30 0")" ] || fail "A went down more often than up"

echo "  what the window received:"
tr -d '\r' <"$log" | grep -v ready | tr '\n' ';' | sed 's/^/    /'
echo
if [ $failures -ne 0 ]; then
    echo "  the program said:"
    sed 's/^/    /' vornik.log | tail -20
fi
"$wineserver" -k 2>/dev/null
exit $((failures != 0))
