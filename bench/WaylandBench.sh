#!/usr/bin/env bash
# bench/run wayland, the real program's part: pad button to key event, into a Wayland-native window
# (the program's virtual keyboard) and into an XWayland window (XTest), in alternating rounds of the
# same run, on sway (run through tests/with-sway.sh). The pad is one of the soak run's, which nothing
# announces: the program reads it on its ticks, which most of each figure is. Each side's target is
# chosen with --target-front. Prints
#   wayland_program_press_p50_ms, _p99_ms, xwayland_program_press_p50_ms, _p99_ms,
#   wayland_program_press_p99_ratio_vs_xwayland, wayland_program_press_samples
# Usage: WaylandBench.sh VORNIK NATIVE_RECORDER X_RECORDER SOAK_PADS_LIBRARY [PRESSES_PER_SIDE]
set -u
program=$1 native=$2 xrecorder=$3 padlib=$4 presses=${5:-200}
dir_in=${XDG_RUNTIME_DIR:-/tmp}
. "$(dirname "$0")/../tests/wayland/script-common.sh"
# Polled every 5 ms for at most 5 s: what is timed must not wait on the poll.
wait_step=0.005 wait_seconds=5
more_than() { [ "$(count "$1" "$2")" -gt "$3" ]; }

cat >"$dir/pad.vornik" <<'PROFILE'
{"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [],
 "joysticks": [{"joystick": 1, "entry": 5, "kind": 1, "key1": 65, "key2": 0, "key3": 0, "keyCount": 1,
                "autoFireMode": 0, "autoFireDelay": 0}]}
PROFILE
mkfifo "$dir/hold" "$dir/pads"
exec 4<>"$dir/hold" 3<>"$dir/pads"
"$native" --title game --app-id vornik.game <"$dir/hold" >"$dir/wayland.log" 2>&1 &
started+=($!)
"$xrecorder" --title xgame <"$dir/hold" >"$dir/xwayland.log" 2>&1 &
started+=($!)
wait_for grep -q ready "$dir/wayland.log" && wait_for grep -q ready "$dir/xwayland.log" || { echo "no recorder" >&2; exit 1; }
swaymsg -q '[title="^game$"] move to workspace 2'
swaymsg -q '[title="^xgame$"] move to workspace 3'
VORNIK_SOAK_PADS=$dir/pads VORNIK_SOAK_PADS_TIMES=$dir/times LD_PRELOAD=$padlib "$program" "$dir/pad.vornik" \
    >"$dir/vornik.log" 2>&1 &
started+=($!)
wait_for bash -c "swaymsg -t get_tree | grep -q '\"name\": \"Vornik '" || { echo "the program did not start" >&2; exit 1; }
echo "attach 0 controller" >&3
sleep 1

# Rounds of 20 presses, each side in turn; the sides' order is kept in $dir/sides.
round=20
done_presses=0
while [ "$done_presses" -lt "$presses" ]; do
    for side in wayland xwayland; do
        [ "$side" = wayland ] && window=game || window=xgame
        swaymsg -q "[title=\"^$window\$\"] focus"
        sleep 0.2
        "$program" --target-front
        sleep 0.2
        log=$dir/$side.log
        for _ in $(seq 1 "$round"); do
            n=$(count "press a" "$log")
            echo "button 0 0 1" >&3
            wait_for more_than "press a" "$log" "$n" || { echo "a press did not arrive ($side)" >&2; exit 1; }
            n=$(count "release a" "$log")
            echo "button 0 0 0" >&3
            wait_for more_than "release a" "$log" "$n" || { echo "a release did not arrive ($side)" >&2; exit 1; }
            echo "$side" >>"$dir/sides"
            sleep 0.0$((RANDOM % 4 + 2))
        done
    done
    done_presses=$((done_presses + round))
done

# The k-th press of the pad on a side against the k-th key press its recorder saw.
grep '^button 0 0 1 ' "$dir/times" | awk '{print $5}' >"$dir/pad-times"
for side in wayland xwayland; do
    paste -d' ' "$dir/sides" "$dir/pad-times" | awk -v s="$side" '$1 == s {print $2}' >"$dir/$side.sent"
    grep '^press a ' "$dir/$side.log" | awk '{print $4}' >"$dir/$side.got"
    paste -d' ' "$dir/$side.sent" "$dir/$side.got" | awk '{printf "%.3f\n", ($2 - $1) / 1000}' | sort -g >"$dir/$side.ms"
    n=$(wc -l <"$dir/$side.ms")
    for p in 50 99; do
        echo "${side}_program_press_p${p}_ms: $(awk -v n="$n" -v p="$p" 'NR == int((n * p + 99) / 100) {print}' "$dir/$side.ms")"
    done
done
awk 'FNR == 1 {f++} {v[f, FNR] = $1; c[f] = FNR}
     END { i = int((c[1] * 99 + 99) / 100); j = int((c[2] * 99 + 99) / 100);
           if (v[2, j] > 0) printf "wayland_program_press_p99_ratio_vs_xwayland: %.2f\n", v[1, i] / v[2, j] }' \
    "$dir/wayland.ms" "$dir/xwayland.ms"
echo "wayland_program_press_samples: $(wc -l <"$dir/wayland.ms")"
