#!/usr/bin/env bash
# The uinput output on a real desktop: in the lab's guest, sway on libinput (reading every input
# device of the kernel's, as GNOME and Plasma do) as an unprivileged user at a seat, two native
# recording windows, and the real program with `--output uinput`, a kernel game pad (vornik_uinput_pad)
# driving it:
#   1. the program makes one virtual device, which the compositor takes in;
#   2. the pad's key reaches the native target chosen with --target-front, and its release;
#   3. nothing reaches a second native window in front, nor the target behind it;
#   4. the pointer moves at the set speed where it lands (within 5 %), and clicks there;
#   5. the right stick turns the wheel;
#   6. an XWayland target gets the keys too, through the compositor;
#   7. SIGTERM while the pad holds a key: the key goes up, the device goes away, still one per run.
# On this machine it boots the lab's guest (tests/vm/boot) and runs itself there; without QEMU it says so
# in one line and exits 77. With PRESSES above 0 (bench/run wayland), it also times that many pad
# presses to the key event in the target, and prints uinput_press_p50_ms and uinput_press_p99_ms.
# With "x11" for PRESSES, the same on X11 instead: Xorg (a dummy screen) reading the devices through
# libinput, openbox, two X recorders; the program runs as root there.
# Usage: uinput-desktop.sh VORNIK NATIVE_RECORDER X_RECORDER UINPUT_PAD PAD_DESCRIPTION [PRESSES|x11]
set -u
program=$1 native=$2 xrecorder=$3 padtool=$4 paddesc=$5 presses=${6:-0} mode=wayland
[ "$presses" = x11 ] && mode=x11 presses=0
lab=$(cd "$(dirname "$0")/../vm" && pwd)

if [ "${VORNIK_IN_GUEST:-}" != 1 ]; then
    command -v qemu-system-x86_64 >/dev/null ||
        { echo "SKIP: no QEMU for the lab's guest (tools/packages.sh installs qemu-system-x86)"; exit 77; }
    tools=(sway swaymsg seatd Xwayland jq)
    [ "$mode" = x11 ] && tools=(Xorg openbox xdotool xprop)
    for tool in "${tools[@]}"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (tools/packages.sh installs it)"; exit 77; }
    done
    "$lab/boot" --build >/dev/null || exit 1
    out=$(mktemp -d "${TMPDIR:-/tmp}/vornik-uinput.XXXXXX")
    trap 'rm -rf "$out"' EXIT
    nice -n 19 "$lab/boot" -s "$out" -c "${VM_LAB_CPUS:-1}" -t 540 -e VORNIK_IN_GUEST=1 -- \
        "$0" "$(realpath "$program")" "$(realpath "$native")" "$(realpath "$xrecorder")" "$(realpath "$padtool")" "$(realpath "$paddesc")" "${6:-0}"
    exit $?
fi

# ---------------------------------------------------------------- in the guest, as root
# Pipes cannot live in the shared folder (9p): everything stays in the guest's own /tmp.
dir=$(mktemp -d /tmp/uinput-desktop.XXXXXX)
chmod 1777 "$dir"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
wait_for() { # SECONDS COMMAND...: wall-clock limit (a software CPU makes every step slow)
    local end=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt "$end" ] || return 1
        sleep 0.1
    done
}
count() { grep -c -- "$1" "$2" 2>/dev/null || true; }
has() { grep -q -- "$1" "$2" 2>/dev/null; }

# The kernel's devices of the program's.
devices() { grep -lx 'Vornik virtual keyboard and pointer' /sys/class/input/input*/name 2>/dev/null | wc -l; }
mkfifo "$dir/hold"
exec 4<>"$dir/hold"
started=()
trap 'for p in "${started[@]}"; do kill "$p" 2>/dev/null; done' EXIT

# Button 1 (BTN_SOUTH) types A; button 2 (BTN_EAST) is the left pointer button; the left stick moves
# the pointer at 400 pixels a second at full deflection; the right stick turns the wheel.
cat >"$dir/pad.vornik" <<'PROFILE'
{"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [],
 "joysticks": [
  {"joystick": 1, "entry": 5, "kind": 1, "key1": 65, "key2": 0, "key3": 0, "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0},
  {"joystick": 1, "entry": 6, "kind": 3, "key1": 1, "key2": 0, "key3": 0, "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0}],
 "pads": [{"joystick": 1, "leftStick": "pointer", "pointerSpeed": 400, "pointerCurve": 1.0, "leftDeadZone": 10,
           "rightStick": "wheel", "wheelSpeed": 10}]}
PROFILE

# The pad, plugged before the program starts.
coproc PAD { "$padtool" "$paddesc" 2>&1; }
started+=($PAD_PID)
pad() { # COMMAND: one command to the pad, and its answer
    local answer=""
    echo "$*" >&"${PAD[1]}"
    read -r -t 10 answer <&"${PAD[0]}"
    echo "$answer" >>"$dir/pad.out"
    echo "$answer"
}
# The pad's first button types A: into the target in front (KIND names it in the messages, its events
# in LOG, game.log unless given), down and up.
key_reaches_target() { # KIND [LOG]
    local log=$dir/${2:-game.log}
    pad key BTN_SOUTH 1 >/dev/null
    wait_for 10 has "press a" "$log" && pass "the $1 target got the key through uinput" || fail "no key reached the $1 target"
    pad key BTN_SOUTH 0 >/dev/null
    wait_for 10 has "release a" "$log" && pass "and its release" || fail "the key stayed down in the $1 target"
}
# With another window of KIND in front: nothing reaches it, nor the target behind.
key_reaches_no_one() { # KIND
    local before
    before=$(count "press a" "$dir/game.log")
    pad key BTN_SOUTH 1 >/dev/null
    sleep 1.5
    pad key BTN_SOUTH 0 >/dev/null
    sleep 0.5
    [ "$(count "press a" "$dir/other.log")" -eq 0 ] && pass "nothing reached the $1 window in front" ||
        fail "a key reached the $1 window that is not the target"
    [ "$(count "press a" "$dir/game.log")" -eq "$before" ] && pass "nor the target behind it" ||
        fail "a key reached the $1 target while it was behind"
}
node=$(pad plug)
node=${node#plugged }
[ -c "$node" ] || { echo "FAIL: the pad did not plug: $node"; exit 1; }

if [ "$mode" = x11 ]; then
    # ------------------------------------------------ X11: Xorg on libinput (dummy screen), openbox
    cat >/tmp/xorg.conf <<'CONF'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1280x1024" 109.62 1280 1368 1496 1712 1024 1027 1034 1068
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1280x1024"
    EndSubSection
EndSection
CONF
    Xorg -displayfd 6 -config /tmp/xorg.conf -noreset -nolisten tcp -novtswitch -sharevts -logfile "$dir/xorg.log" \
        6>"$dir/display" >/dev/null 2>&1 &
    started+=($!)
    wait_for 60 test -s "$dir/display" || { echo "FAIL: Xorg did not start"; tail -n 20 "$dir/xorg.log"; exit 1; }
    export DISPLAY=:$(cat "$dir/display") XDG_RUNTIME_DIR=/run/user/0 QT_QPA_PLATFORM=xcb
    install -d -m 700 "$XDG_RUNTIME_DIR"
    openbox >"$dir/openbox.log" 2>&1 &
    started+=($!)
    wait_for 30 xprop -root _NET_SUPPORTING_WM_CHECK || { echo "FAIL: openbox did not start"; exit 1; }
    for name in game other; do
        "$xrecorder" --title "$name" --size 1000x800 <"$dir/hold" >"$dir/$name.log" 2>&1 &
        started+=($!)
        wait_for 30 has ready "$dir/$name.log" || { echo "FAIL: the X recorder $name did not come"; exit 1; }
    done
    front() { xdotool search --name "^$1\$" windowactivate --sync >/dev/null 2>&1; }
    env XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" XDG_DATA_HOME="$dir/data" \
        "$program" --output uinput "$dir/pad.vornik" >"$dir/vornik.log" 2>&1 &
    vornik=$!
    started+=($vornik)
    wait_for 120 xdotool search --name '^Vornik ' || { echo "FAIL: the program's window never showed"; cat "$dir/vornik.log"; exit 1; }
    [ "$(devices)" -eq 1 ] || fail "the program made $(devices) devices"
    wait_for 30 grep -q 'Adding input device Vornik virtual keyboard and pointer' "$dir/xorg.log" &&
        pass "Xorg took in the program's device" || fail "Xorg did not take in the program's device"

    front game
    "$program" --target-front || fail "--target-front did not hand over"
    sleep 1
    key_reaches_target X11

    front other
    sleep 1
    key_reaches_no_one X11

    # The pointer: from where X has it, full right for a while; X accelerates a relative device
    # twice past a few pixels, an absolute one not at all.
    front game
    xdotool mousemove 200 300
    sleep 1
    start=$(date +%s%N)
    pad abs ABS_X 32767 >/dev/null
    sleep 1
    pad abs ABS_X 0 >/dev/null
    took=$((($(date +%s%N) - start) / 1000000))
    sleep 0.5
    x=$(xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) .*/\1/p')
    expected=$((took * 400 / 1000))
    echo "pointer: $((x - 200)) px in ${took} ms, $expected expected at 400 px/s"
    [ $((x - 200)) -ge $((expected * 3 / 4)) ] && [ $((x - 200)) -le $((expected * 5 / 4)) ] &&
        pass "the pointer moves at about the set speed on X11" || fail "the pointer moved $((x - 200)) px, about $expected expected"
    pad key BTN_EAST 1 >/dev/null
    wait_for 10 has "press Button1" "$dir/game.log" && pass "the pointer clicks in the X11 target" || fail "no click reached the X11 target"
    pad key BTN_EAST 0 >/dev/null
    wait_for 10 has "release Button1" "$dir/game.log" || fail "the pointer button stayed down"

    presses_seen=$(count "press a" "$dir/game.log")
    before=$(count "release a" "$dir/game.log")
    pad key BTN_SOUTH 1 >/dev/null
    wait_for 10 bash -c "[ \$(grep -c 'press a' '$dir/game.log') -gt $presses_seen ]" || fail "the held key did not go down"
    kill -TERM "$vornik"
    wait "$vornik" || fail "the program ended with status $? after SIGTERM"
    wait_for 10 bash -c "[ \$(grep -c 'release a' '$dir/game.log') -gt $before ]" && pass "SIGTERM let go of the held key" ||
        fail "the key held at SIGTERM stayed down"
    wait_for 10 test "$(devices)" -eq 0 && pass "the device went with the program" || fail "the program's device outlived it"
    if [ "$failures" -ne 0 ]; then
        echo "--- program:"; cat "$dir/vornik.log"
        for log in game other; do echo "--- $log:"; tail -n 20 "$dir/$log.log"; done
        exit 1
    fi
    echo "uinput on X11: all cases passed"
    exit 0
fi

# ------------------------------------------------ Wayland: sway on libinput, as a user at a seat

id player >/dev/null 2>&1 || useradd -m -G video,input player
U=$(id -u player)
export XDG_RUNTIME_DIR=/run/user/$U
install -d -m 700 -o player -g player "$XDG_RUNTIME_DIR"
# setpriv execs: a signal to the process started this way reaches the program itself.
as_player() { setpriv --reuid=player --regid=player --init-groups env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" HOME="$dir/home" "$@"; }
install -d -m 755 -o player -g player "$dir/home"
seatd -g video >"$dir/seatd.log" 2>&1 &
wait_for 10 test -S /run/seatd.sock || { echo "FAIL: seatd did not start"; cat "$dir/seatd.log"; exit 1; }
cat >/tmp/sway.cfg <<'CFG'
output HEADLESS-1 resolution 1280x1024
xwayland enable
exec sh -c 'echo "$DISPLAY" > "$XDG_RUNTIME_DIR/display.new" && mv "$XDG_RUNTIME_DIR/display.new" "$XDG_RUNTIME_DIR/display"'
CFG
as_player env WLR_BACKENDS=headless,libinput WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 LIBSEAT_BACKEND=seatd \
    sway -c /tmp/sway.cfg >"$dir/sway.log" 2>&1 &
wait_for 90 test -s "$XDG_RUNTIME_DIR/display" || { echo "FAIL: sway did not start"; tail -n 20 "$dir/sway.log"; exit 1; }
export SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock")
export DISPLAY=$(cat "$XDG_RUNTIME_DIR/display")
export WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -n1)
sway() { as_player env SWAYSOCK="$SWAYSOCK" swaymsg -q "$@"; }
# What the compositor made of the program's device: a keyboard and a pointer.
taken_in() { as_player env SWAYSOCK="$SWAYSOCK" swaymsg -t get_inputs -r |
    jq -r '.[] | select(.name == "Vornik virtual keyboard and pointer") | .type' | sort | tr '\n' ' '; }

# What the package's udev rule gives the user at the seat (logind's uaccess, which the guest lacks).
chown player /dev/uinput

start_native() { # NAME WORKSPACE: a recording window alone on a workspace, its events in NAME.log
    as_player env WAYLAND_DISPLAY="$WAYLAND_DISPLAY" "$native" --title "$1" --app-id "vornik.$1" <"$dir/hold" >"$dir/$1.log" 2>&1 &
    started+=($!)
    wait_for 60 has ready "$dir/$1.log" || { echo "FAIL: the native window $1 did not come"; exit 1; }
    sway "[title=\"^$1\$\"] move to workspace $2"
}
start_native game 2
start_native other 3
as_player env DISPLAY="$DISPLAY" "$xrecorder" --title xgame <"$dir/hold" >"$dir/xgame.log" 2>&1 &
started+=($!)
wait_for 60 has ready "$dir/xgame.log" || { echo "FAIL: the X recorder did not come"; exit 1; }
sway '[title="^xgame$"] move to workspace 4'
chown player "$node" # as logind's uaccess would for the pad of the user at the seat

run_program() {
    as_player env DISPLAY="$DISPLAY" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SWAYSOCK="$SWAYSOCK" QT_QPA_PLATFORM=xcb \
        LANG=C.UTF-8 LANGUAGE= LC_ALL= XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" \
        XDG_DATA_HOME="$dir/data" "$program" "$@"
}
run_program --output uinput "$dir/pad.vornik" >"$dir/vornik.log" 2>&1 &
started+=($!)
wait_for 120 bash -c "setpriv --reuid=player --regid=player --init-groups env SWAYSOCK='$SWAYSOCK' swaymsg -t get_tree | grep -q '\"name\": \"Vornik '" ||
    { echo "FAIL: the program's window never showed"; cat "$dir/vornik.log"; exit 1; }
vornik=$(pgrep -u player -x vornik)

# 1. One device, taken in by the compositor as a keyboard and a pointer.
[ "$(devices)" -eq 1 ] || fail "the program made $(devices) devices"
wait_for 30 test "$(taken_in)" = "keyboard pointer " && pass "the compositor took in the program's device" ||
    fail "the compositor took the program's device as: $(taken_in)"

# 2. The native game in front, chosen with --target-front; then the pad's button.
sway '[title="^game$"] focus'
run_program --target-front || fail "--target-front did not hand over"
sleep 1
key_reaches_target native

# 3. Another native window in front: nothing goes anywhere.
sway '[title="^other$"] focus'
sleep 1
key_reaches_no_one native

# 4. The pointer, in the target: full right for a while, then the button.
sway '[title="^game$"] focus'
sleep 1
seen=$(wc -l <"$dir/game.log")
pad abs ABS_X 32767 >/dev/null
sleep 1.2
pad abs ABS_X 0 >/dev/null
sleep 0.5
motion=$(tail -n +$((seen + 1)) "$dir/game.log" | grep '^motion')
if [ "$(wc -l <<<"$motion")" -lt 10 ]; then
    fail "the pointer did not move in the native target: $(wc -l <<<"$motion") motion events"
else
    # Pixels a second, the slope of position over time (least squares), after the first event: the
    # pointer may come from wherever it was before the move.
    speed=$(tail -n +2 <<<"$motion" | awk '$2 > 0 && $2 < 1279 {n++; t=$4/1e6; sx+=t; sy+=$2; sxx+=t*t; sxy+=t*$2}
        END {d = n*sxx - sx*sx; if (n > 5 && d > 0) printf "%.0f", (n*sxy - sx*sy)/d; else print 0}')
    echo "pointer: ${speed} px/s in the window for 400 set"
    [ "$speed" -ge 380 ] && [ "$speed" -le 420 ] && pass "the pointer moves at the set speed" ||
        fail "the pointer moved at $speed px/s, set 400"
fi
# Back left a little: the move may have reached the right edge, the window's border.
pad abs ABS_X -32768 >/dev/null
sleep 0.4
pad abs ABS_X 0 >/dev/null
sleep 0.3
pad key BTN_EAST 1 >/dev/null
wait_for 10 has "press Button1" "$dir/game.log" && pass "the pointer clicks in the native target" ||
    fail "no click reached the native target"
pad key BTN_EAST 0 >/dev/null
wait_for 10 has "release Button1" "$dir/game.log" || fail "the pointer button stayed down"

# 5. The right stick up: the wheel turns up (negative: the recorder counts down positive).
pad abs ABS_RY -32768 >/dev/null
sleep 1
pad abs ABS_RY 0 >/dev/null
wait_for 10 grep -q '^wheel vertical -' "$dir/game.log" && pass "the wheel turns in the native target" ||
    fail "no wheel notch reached the native target: $(grep '^wheel' "$dir/game.log" | head -n 2 | tr '\n' ' ')"

# 6. An XWayland target.
sway '[title="^xgame$"] focus'
run_program --target-front || fail "--target-front did not hand over"
sleep 1
key_reaches_target XWayland xgame.log
sway '[title="^game$"] focus'
run_program --target-front || fail "--target-front did not hand over"
sleep 1

# For bench/run wayland: pad button to key event in the target.
if [ "$presses" -gt 0 ]; then
    : >"$dir/latencies"
    for _ in $(seq 1 "$presses"); do
        n=$(count "press a" "$dir/game.log")
        sent=$(pad key BTN_SOUTH 1)
        wait_for 10 bash -c "[ \$(grep -c 'press a' '$dir/game.log') -gt $n ]" || { fail "a timed press did not arrive"; break; }
        got=$(grep 'press a' "$dir/game.log" | tail -n 1 | awk '{print $4}')
        echo "$(( got - ${sent#sent } ))" >>"$dir/latencies"
        pad key BTN_SOUTH 0 >/dev/null
        sleep 0.05
    done
    sort -n "$dir/latencies" | awk '{v[NR]=$1} END {if (NR) {
        printf "uinput_press_p50_ms: %.1f\n", v[int((NR+1)*0.50)]/1000; printf "uinput_press_p99_ms: %.1f\n", v[int(NR*0.99 > 1 ? NR*0.99 : 1)]/1000 }}'
fi

# 7. SIGTERM with the key held.
before=$(count "release a" "$dir/game.log")
presses_seen=$(count "press a" "$dir/game.log")
pad key BTN_SOUTH 1 >/dev/null
wait_for 10 bash -c "[ \$(grep -c 'press a' '$dir/game.log') -gt $presses_seen ]" || fail "the held key did not go down"
[ "$(devices)" -eq 1 ] && pass "one device for the whole run" || fail "the program made $(devices) devices"
kill -TERM "$vornik"
wait_for 30 bash -c "! kill -0 $vornik" || fail "the program did not end after SIGTERM"
grep -q 'vornik: ' "$dir/vornik.log" && fail "the program said: $(grep 'vornik: ' "$dir/vornik.log")"
wait_for 10 bash -c "[ \$(grep -c 'release a' '$dir/game.log') -gt $before ]" && pass "SIGTERM let go of the held key" ||
    fail "the key held at SIGTERM stayed down"
wait_for 10 test "$(devices)" -eq 0 && pass "the device went with the program" || fail "the program's device outlived it"

if [ "$failures" -ne 0 ]; then
    echo "--- program:"; cat "$dir/vornik.log"
    for log in game other xgame; do echo "--- $log:"; tail -n 20 "$dir/$log.log"; done
    echo "--- sway:"; tail -n 20 "$dir/sway.log"
    echo "--- pad:"; cat "$dir/pad.out"
    for n in /sys/class/input/input*/name; do
        grep -qx 'Vornik virtual keyboard and pointer' "$n" || continue
        for e in "${n%/name}"/event*; do udevadm info -q property -n "/dev/input/${e##*/}"; done
    done
    exit 1
fi
echo "uinput desktop: all cases passed"
