#!/usr/bin/env bash
# The Windows program under Wine, driven from X the way a user would, with two test windows
# (vornik_win32_testwindow) that record the key messages they receive. Run by run-win32-tests.sh
# inside its Xvfb and Wine prefix; reads wine, build, folder and scratch from the environment.
#
# The profile binds F7 to move 1 (A with Shift, B), and F8 to move 2: A, Enter, the right arrow, the
# keypad's divide and right Control, one after the other.
#   1. The program starts with its caption, and its target list cb1 holds the test window A:
#      chosen there, A in front and F7 down -> A receives the move. F8 -> A receives every key of
#      move 2 with its scan code and the extended bit on the extended keys alone, down and up, in its
#      key messages and in Raw Input.
#   2. B in front and F7 down: B is not the target, nothing is played.
#   3. CTRL+J with B in front makes B the target; F7 -> B receives the move.
#   4. The program, closed through its window right after the moves: it ends, and no key is left down.
#   5. Started again with the profile's "scan codes only": F8 -> A receives move 2 the same way.
#   6. A second start (`vornik.exe --load profile.vornik`) hands the profile to the running program and
#      ends with status 0; the running one loads it.
#   7. An edit (every move deleted), then the session ends at once (WM_QUERYENDSESSION, WM_ENDSESSION):
#      the recovery profile holds the edit and no key is left down.
set -uo pipefail
caption='Vornik   (熱鍵：CTRL+J)'
testwindow=$build/tests/win32/vornik_win32_testwindow.exe
work=$scratch/program
shot=$build/program-under-wine.png
mkdir -p "$work"
cd "$work" || exit 1
failures=0
fail() {
    echo "  FAILED: $*"
    failures=$((failures + 1))
}
pass() { echo "  ok: $*"; }

# Waits up to 30 s for a command to succeed.
wait_for() {
    local i
    for i in $(seq 1 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The virtual keys a log holds as "down VK SCAN EXT" lines, in order, one line.
downs() { tr -d '\r' <"$1" | sed -n 's/^down \([0-9]*\).*/\1/p' | tr '\n' ' '; }

# Move 2's keys as a game sees them: "VK SCAN EXT" in the key messages (right Control arrives as
# Control), "SCAN EXT" in Raw Input.
scan_keys=("65 30 0" "13 28 0" "39 77 1" "111 53 1" "17 29 1")
# LOG FROM LABEL: the keys of move 2 in LOG after line FROM, each down and up with its scan code and
# extended bit, in the key messages and in Raw Input, and no key message without a scan code.
check_scan_codes() {
    local log=$1 from=$2 label=$3 lines key ok=yes
    lines=$(tr -d '\r' <"$log" | tail -n +"$((from + 1))")
    echo "  $label: what the window received:"
    echo "$lines" | sed 's/^/      /'
    for key in "${scan_keys[@]}"; do
        for edge in down up; do
            grep -qx "$edge $key" <<<"$lines" || { fail "$label: no \"$edge $key\" key message"; ok=no; }
            grep -qx "raw $edge ${key#* }" <<<"$lines" || { fail "$label: no \"raw $edge ${key#* }\" Raw Input"; ok=no; }
        done
    done
    if grep -Eq '^(down|up) [0-9]+ 0 ' <<<"$lines" || grep -Eq '^raw (down|up) 0 ' <<<"$lines"; then
        fail "$label: a key went with scan code 0"
        ok=no
    fi
    [ $ok = yes ] && pass "$label: every key with its scan code, the extended bit exactly on the extended keys"
}

hold_key() { # KEY: down long enough for the program's 30 ms poll to see it
    xdotool keydown "$1"
    sleep 0.2
    xdotool keyup "$1"
}

front() { "$wine" "$testwindow" front "$1"; }

cat >profile.vornik <<'EOF'
{
  "format": "vornik-profile",
  "version": 1,
  "keyboard": [
    {"key": 118, "move": 1, "autoFireMode": 0, "autoFireDelay": 0},
    {"key": 119, "move": 2, "autoFireMode": 0, "autoFireDelay": 0}
  ],
  "joysticks": [],
  "moves": [
    {"number": 1, "name": "試驗", "speed": 20, "repeat": 1, "overlap": false, "steps": [[65, 16], [66, 0]]},
    {"number": 2, "name": "掃描碼", "speed": 20, "repeat": 1, "overlap": false,
     "steps": [[65, 0], [13, 0], [39, 0], [111, 0], [163, 0]]}
  ]
}
EOF

"$wine" "$testwindow" window VornikTestA A.log &
"$wine" "$testwindow" window VornikTestB B.log &
wait_for grep -qs ready A.log && wait_for grep -qs ready B.log || {
    echo "  FAILED: the test windows did not open"
    exit 1
}

# Starts the program with profile $1; sets program and window.
start_program() {
    "$wine" "$folder/vornik.exe" --lang zh "$1" >>vornik.log 2>&1 &
    program=$!
    if ! wait_for xdotool search --name '^Vornik ' >/dev/null; then
        echo "  FAILED: no main window"
        cat vornik.log
        exit 1
    fi
    window=$(xdotool search --name '^Vornik ' | head -1)
    sleep 1 # the start-up sequence fills the list after the window shows
}

# cb1 sits at the top right of the client area: open it, type the window's name $1, take it.
choose_target() {
    front "$caption"
    xdotool mousemove --window "$window" 300 40 click 1
    sleep 0.5
    xdotool type "$1"
    xdotool key Return
    sleep 0.3
}

# Closes the program through its window and checks that it ends with no key left down.
close_program() {
    "$wine" "$testwindow" close "$caption" || fail "could not ask the main window to close"
    if wait_for bash -c "! kill -0 $program 2>/dev/null"; then
        pass "the program ended when its window was closed"
    else
        fail "the program is still running 30 s after its window was closed (see $shot)"
        import -window root "$shot"
        kill "$program" 2>/dev/null
    fi
    if down=$("$wine" "$testwindow" keys-down); then
        pass "no key left down"
    else
        fail "keys left down: $down"
    fi
}

start_program profile.vornik
name=$(xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[ "$name" = "$caption" ] && pass "main window \"$name\"" || fail "main window named \"$name\", not \"$caption\""
import -window root "$shot" # for a person to look at

# 1. A chosen in cb1.
choose_target VornikTestA
front VornikTestA
sleep 0.3
hold_key F7
sleep 0.5
moves=$(downs A.log)
[[ $moves == *"65 16 66 "* ]] && pass "A chosen in cb1 receives the move: $moves" ||
    fail "A chosen in cb1 received \"$moves\", not the move 65 16 66"
from=$(wc -l <A.log)
hold_key F8
sleep 0.8
check_scan_codes A.log "$from" "virtual keys with scan codes"

# 2. B is not the target.
front VornikTestB
sleep 0.3
hold_key F7
sleep 0.5
moves=$(downs B.log)
[[ $moves != *65* ]] && pass "B, not the target, receives only the trigger: $moves" ||
    fail "B is not the target but received \"$moves\""

# 3. CTRL+J makes B the target.
hold_key ctrl+j
sleep 0.3
hold_key F7
sleep 0.5
moves=$(downs B.log)
[[ $moves == *"65 16 66 "* ]] && pass "B after CTRL+J receives the move: $moves" ||
    fail "B after CTRL+J received \"$moves\", not the move 65 16 66"

# 4. Closing the window right after the moves.
close_program

# 5. The same profile with "scan codes only": the same keys, sent by their scan codes alone.
sed 's/"version": 1,/"version": 3, "windowsKeys": {"scanCodesOnly": true},/' profile.vornik >scan.vornik
start_program scan.vornik
choose_target VornikTestA
front VornikTestA
sleep 0.3
from=$(wc -l <A.log)
hold_key F8
sleep 0.8
check_scan_codes A.log "$from" "scan codes only"

# 6. One program per session.
settings=$(find "$WINEPREFIX/drive_c/users" -path '*Vornik/vornik.conf' | head -1)
timeout 60 "$wine" "$folder/vornik.exe" --load profile.vornik >>vornik.log 2>&1
status=$?
[ $status -eq 0 ] && pass "a second start ended with status 0" || fail "a second start ended with status $status"
last_profile() { tr -d '\r' <"$settings" 2>/dev/null | sed -n 's/^last=//p'; }
loaded_handed_profile() { [[ $(last_profile) == */profile.vornik ]]; }
if wait_for loaded_handed_profile; then
    pass "the running program loaded the profile the second start handed over"
else
    fail "the running program did not load it: last=$(last_profile)"
fi
[ "$(xdotool search --name '^Vornik ' | wc -l)" -eq 1 ] && pass "one main window" || fail "more than one main window"

# 7. The session ends right after an edit ("招式記錄", "刪除", Enter for OK; from the top left of the
#    window's client area, as in the Linux test).
front "$caption"
xdotool mousemove --window "$window" 83 58 click 1
sleep 0.5
xdotool mousemove --window "$window" 91 82 click 1
sleep 0.5
xdotool key Return
sleep 0.3
"$wine" "$testwindow" end-session "$caption" || fail "could not end the session for the main window"
recovery=$(find "$WINEPREFIX/drive_c/users" -path '*Vornik/recovery.vornik' | head -1)
if [ -n "$recovery" ] && grep -q '"moves"' "$recovery" && ! grep -q '試驗' "$recovery"; then
    pass "WM_ENDSESSION right after an edit: the recovery profile holds it"
else
    fail "no recovery profile with the edit after WM_ENDSESSION (${recovery:-none})"
    import -window root "$shot"
fi
if down=$("$wine" "$testwindow" keys-down); then pass "no key left down"; else fail "keys left down: $down"; fi
if wait_for bash -c "! kill -0 $program 2>/dev/null"; then
    pass "the program ended with the session"
else
    fail "the program still runs after WM_ENDSESSION"
    kill "$program" 2>/dev/null
fi

if [ $failures -ne 0 ]; then
    echo "  the program said:"
    sed 's/^/    /' vornik.log
fi
exit $((failures != 0))
