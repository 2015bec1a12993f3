#!/usr/bin/env bash
# bench/AppBench.sh VORNIK_EXE PAD_LIB MAP_WATCH: the program with one pad (PAD_LIB, preloaded, attaches
# an SDL virtual pad whose stand-in device node is a FIFO held open here): its start-up, process start
# to the main window's mapping (MAP_WATCH sees the MapNotify) and to its first paint, median of 5, and
# QJoyPad's to its first window the same way; then, idle with a target program in front and no key
# held, side by side with QJoyPad (another X11 joystick mapper from Debian, started the same way with no
# device) in alternating rounds of 5 s (20 s each): memory (RSS, PSS and private dirty pages), threads,
# context switches per second of all threads and CPU use. On the current DISPLAY. Prints `name: value`
# lines.
set -euo pipefail
exe=$1
pad_lib=$(realpath "$2")
map_watch=$(realpath "$3")
cd "$(dirname "$exe")"
now_ms() { date +%s%3N; }
pids=()
node=/dev/shm/vornik-bench-pad-$$
cleanup() {
    for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done
    rm -f "$node"
}
trap cleanup EXIT
mkfifo "$node"
exec 7<>"$node" # open for writing too, so the node never reports a hang-up; nothing is written

# Starts COMMAND... in the background once MAP_WATCH listens; sets `started` (ms) and `watch_log`.
start_watched() {
    watch_log=$(mktemp)
    "$map_watch" >"$watch_log" &
    for _ in $(seq 1 200); do
        grep -q watching "$watch_log" && break
        sleep 0.01
    done
    started=$(now_ms)
    "$@" &
    pid=$!
}
# Waits for the mapping that start_watched's MAP_WATCH saw; prints ms since the start.
mapped_after() {
    local mapped=""
    for _ in $(seq 1 400); do
        mapped=$(sed -n 's/^mapped at \([0-9]*\)$/\1/p' "$watch_log")
        [ -n "$mapped" ] && break
        sleep 0.025
    done
    rm -f "$watch_log"
    [ -n "$mapped" ] || { echo "AppBench: no window was mapped" >&2; exit 1; }
    echo $((mapped - started))
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# exec: the background job is the program itself, not a shell around it.
with_pad() { LD_PRELOAD="$pad_lib" VORNIK_BENCH_PAD_NODE="$node" VORNIK_REPORT_SHOWN=1 exec "$exe" 2>"$log"; }
maps=()
paints=()
pid=0
for run in 1 2 3 4 5; do
    log=$(mktemp)
    start_watched with_pad
    shown=""
    for _ in $(seq 1 400); do
        shown=$(sed -n 's/^vornik: shown at \([0-9]*\) ms$/\1/p' "$log")
        [ -n "$shown" ] && break
        sleep 0.025
    done
    [ -n "$shown" ] || { echo "AppBench: the main window never showed" >&2; exit 1; }
    maps+=("$(mapped_after)")
    paints+=($((shown - started)))
    if [ "$run" -lt 5 ]; then
        kill -TERM "$pid"
        wait "$pid" || true
    fi
    rm -f "$log"
done
pids+=("$pid")
echo "startup_runs_ms: map ${maps[*]}; first paint ${paints[*]}" >&2

# QJoyPad's first window the same way (it has no tray here), with a home of its own each time.
peer_maps=()
for run in 1 2 3 4 5; do
    peer_home=$(mktemp -d)
    start_watched env HOME="$peer_home" QT_XCB_GL_INTEGRATION=none qjoypad --notray
    peer_maps+=("$(mapped_after)")
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$peer_home"
done
pid=${pids[0]}
echo "qjoypad_map_runs_ms: ${peer_maps[*]}" >&2

# The peer, with a home of its own so no setup of the user's is read or written.
peer_home=$(mktemp -d)
HOME="$peer_home" QT_XCB_GL_INTEGRATION=none qjoypad --notray >/dev/null 2>&1 &
peer=$!
pids+=("$peer")

# A target program in front, chosen with the hot key CTRL+J as a user would.
xmessage -name vornik-target "the target program" &
pids+=($!)
target=$(timeout 10 xdotool search --sync --classname vornik-target | head -1)
[ -n "$target" ] || { echo "AppBench: the target program did not start" >&2; exit 1; }
xdotool windowfocus --sync "$target"
xdotool keydown ctrl j
sleep 0.3
xdotool keyup j ctrl
sleep 2
kill -0 "$peer" || { echo "AppBench: qjoypad did not stay up" >&2; exit 1; }

# CPU time in nanoseconds, all threads (the scheduler's own count: finer than clock ticks).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d\n", s}'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ {s += $2} END {print s}'; }
declare -A cpu=() cs=() secs=()
for who in vornik peer; do cpu[$who]=0; cs[$who]=0; secs[$who]=0; done
round=5
for _ in 1 2 3 4; do
    for who in vornik peer; do
        p=$pid
        [ "$who" = peer ] && p=$peer
        c0=$(cpu_ns "$p"); s0=$(switches "$p")
        sleep "$round"
        c1=$(cpu_ns "$p"); s1=$(switches "$p")
        cpu[$who]=$((cpu[$who] + c1 - c0)); cs[$who]=$((cs[$who] + s1 - s0)); secs[$who]=$((secs[$who] + round))
    done
done

report() { # NAME PID
    local name=$1 p=$2
    awk -v n="$name" '/^VmRSS:/ {printf "%s_rss_mb: %.1f\n", n, $2 / 1024} /^Threads:/ {print n "_threads: " $2}' \
        "/proc/$p/status"
    awk -v n="$name" '/^Pss:/ {printf "%s_pss_mb: %.1f\n", n, $2 / 1024}
        /^Private_Dirty:/ {printf "%s_private_dirty_mb: %.1f\n", n, $2 / 1024}' "/proc/$p/smaps_rollup"
    awk -v n="$name" -v d="${cs[$3]}" -v s="${secs[$3]}" 'BEGIN { printf "%s_context_switches_per_s: %.2f\n", n, d / s }'
    awk -v n="$name" -v d="${cpu[$3]}" -v s="${secs[$3]}" \
        'BEGIN { printf "%s_idle_cpu_percent: %.4f\n", n, 100 * d / 1e9 / s }'
}

echo "startup_ms: $(median "${paints[@]}")"
echo "vornik_map_ms: $(median "${maps[@]}")"
echo "vornik_first_paint_ms: $(median "${paints[@]}")"
echo "qjoypad_map_ms: $(median "${peer_maps[@]}")"
vornik_lines=$(report vornik "$pid" vornik)
peer_lines=$(report qjoypad "$peer" peer)
# The program's own lines keep their old names too.
echo "$vornik_lines" | sed -n 's/^vornik_rss_mb/rss_mb/p; s/^vornik_idle_cpu_percent/idle_cpu_percent/p'
echo "$vornik_lines"
echo "$peer_lines"
value() { echo "$1" | awk -v k="$2" -F': ' '$1 == k {print $2}'; }
awk -v a="$(value "$vornik_lines" vornik_rss_mb)" -v b="$(value "$peer_lines" qjoypad_rss_mb)" \
    'BEGIN { printf "rss_ratio_vs_qjoypad: %.2f\n", a / b }'
awk -v a="${cpu[vornik]}" -v b="${cpu[peer]}" \
    'BEGIN { if (b > 0) printf "idle_cpu_ratio_vs_qjoypad: %.1f\n", a / b; else print "idle_cpu_ratio_vs_qjoypad: inf" }'
rm -rf "$peer_home"
