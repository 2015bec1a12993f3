#!/usr/bin/env bash
# The setup survives whatever ends the program, and one Vornik runs per session: the real program,
# driven from X with xdotool, with the user's folders of its own. Usage: keep-setup.sh PROGRAM (under
# an X server; the key map beside PROGRAM).
#   1. An edit, then SIGKILL: the recovery profile holds the edit, and the next start offers it back.
#   2. SIGTERM while that question is up: the program ends (0) and the recovery profile stays as it was.
#   3. A second start (`vornik --load FILE`, then `vornik FILE`) hands the profile to the first and ends
#      with status 0; the first loads it.
#   4. The X server killed right after an edit, before its recovery write was due: the program ends
#      with a non-zero status and a message naming the lost display, and the recovery profile holds
#      the edit.
set -u
program=$1
dir=$(mktemp -d)
xpid=""
started=()
cleanup() {
    local p
    for p in "${started[@]}" $xpid; do kill -9 "$p" 2>/dev/null; done
    rm -rf "$dir"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$dir/config XDG_STATE_HOME=$dir/state XDG_DATA_HOME=$dir/data XDG_RUNTIME_DIR=$dir/run
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LANGUAGE= LC_ALL=
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# Each display its own recovery profile (":0" as "_0").
recovery_of() { local d=${DISPLAY//[^[:alnum:]]/_}; echo "$XDG_STATE_HOME/vornik/recovery@$d.vornik"; }
recovery=$(recovery_of)
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

cat >"$dir/moves.vornik" <<'PROFILE'
{"format": "vornik-profile", "version": 1, "keyboard": [], "joysticks": [],
 "moves": [{"number": 1, "name": "test", "speed": 20, "repeat": 1, "overlap": false, "steps": [[65, 0]]}]}
PROFILE
sed 's/"test"/"other"/' "$dir/moves.vornik" >"$dir/other.vornik"

# Waits up to 10 s for a command to succeed.
wait_for() {
    local i
    for i in $(seq 1 200); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}
main_window() { xdotool search --onlyvisible --name '^Vornik ' 2>/dev/null | head -1; }
message_box() { xdotool search --onlyvisible --name '^Message$' 2>/dev/null | head -1; }
has_main_window() { [ -n "$(main_window)" ]; }
has_message_box() { [ -n "$(message_box)" ]; }
gone() { ! kill -0 "$1" 2>/dev/null; }

# Starts the program with the arguments given; sets pid.
start() {
    "$program" "$@" >>"$dir/out" 2>&1 &
    pid=$!
    started+=("$pid")
}
# The user's edit: the move page ("招式記錄", the last tab), "刪除", and Enter for OK. The window is
# laid out at a fixed size; the places are from the top left of its client area.
edit_moves() {
    local window x y
    window=$(main_window)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$X y=$Y
    xdotool mousemove $((x + 83)) $((y + 58)) click 1
    sleep 0.3
    xdotool mousemove $((x + 91)) $((y + 82)) click 1
    wait_for has_message_box || { fail "no question after \"刪除\""; return 1; }
    xdotool key Return # the box has the focus
    wait_for bash -c '! xdotool search --onlyvisible --name "^Message$" >/dev/null 2>&1'
}
# The edit as the recovery profile holds it: move 1 without its name and steps.
holds_the_edit() { [ -f "$1" ] && grep -q '"moves"' "$1" && ! grep -q '"test"' "$1"; }

# 1. An edit, then SIGKILL.
start "$dir/moves.vornik"
wait_for has_main_window || fail "no main window"
sleep 0.5
edit_moves
sleep 3 # the recovery write comes about 2 s after the last change
kill -9 "$pid"
wait "$pid" 2>/dev/null
if holds_the_edit "$recovery"; then pass "after an edit and SIGKILL the recovery profile holds the edit"; else
    fail "no recovery profile with the edit after SIGKILL"
fi
cp "$recovery" "$dir/kept.vornik" 2>/dev/null
start
if wait_for has_message_box; then
    pass "the next start offers the edit back"
    import -window root "$dir/restore-question.png" 2>/dev/null
    [ -n "${KEEP_SCREENSHOT:-}" ] && cp "$dir/restore-question.png" "$KEEP_SCREENSHOT"
else
    fail "the next start asked nothing"
fi

# 2. SIGTERM while the question is up.
kill -TERM "$pid"
wait_for gone "$pid" || fail "still running after SIGTERM during the question"
wait "$pid"
status=$?
[ $status -eq 0 ] || fail "ended with status $status after SIGTERM during the question"
if cmp -s "$recovery" "$dir/kept.vornik"; then pass "a signal during the question keeps the recovery profile"; else
    fail "the recovery profile changed or went when a signal came during the question"
fi

# 3. One Vornik per session.
rm -f "$recovery"
start
first=$pid
wait_for has_main_window || fail "no main window"
for way in "--load $dir/other.vornik" "$dir/moves.vornik"; do
    # shellcheck disable=SC2086
    timeout 20 "$program" $way >>"$dir/out" 2>&1
    status=$?
    [ $status -eq 0 ] || fail "the second start ($way) ended with status $status"
    expected=${way#--load }
    if wait_for grep -q "^last=$expected$" "$XDG_CONFIG_HOME/vornik/vornik.conf"; then
        pass "the second start ($way) handed its profile to the first, which loaded it"
    else
        fail "the first did not load $expected: $(grep '^last=' "$XDG_CONFIG_HOME/vornik/vornik.conf")"
    fi
done
gone "$first" && fail "the first program ended"
[ "$(xdotool search --onlyvisible --name '^Vornik ' | wc -l)" -eq 1 ] || fail "more than one main window"
kill -TERM "$first"
wait "$first"

# 4. The X server killed with an edit pending.
rm -f "$recovery"
fdfile=$dir/display
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$fdfile" >/dev/null 2>&1 &
xpid=$!
disown "$xpid" # killed on purpose: no word from the shell about it
wait_for test -s "$fdfile" || fail "the second X server did not start"
outer=$DISPLAY
export DISPLAY=":$(cat "$fdfile")"
recovery=$(recovery_of)
start "$dir/moves.vornik"
wait_for has_main_window || fail "no main window on the second X server"
sleep 0.5
edit_moves
kill -9 "$xpid"
xpid=""
t0=$(date +%s%N)
wait_for gone "$pid" || fail "the program outlived its X server"
echo "ended $(( ($(date +%s%N) - t0) / 1000000 )) ms after its X server"
wait "$pid"
status=$?
[ $status -ne 0 ] || fail "ended with status 0 after losing its X server"
grep -q "lost the connection to the X display $DISPLAY;" "$dir/out" || fail "no message naming the lost display $DISPLAY"
if holds_the_edit "$recovery"; then pass "the X server killed with an edit pending leaves the edit in the recovery profile"; else
    fail "no recovery profile with the edit after the X server was killed"
fi
export DISPLAY=$outer

if [ $failures -ne 0 ]; then
    echo "the program said:"
    sed 's/^/    /' "$dir/out"
    exit 1
fi
