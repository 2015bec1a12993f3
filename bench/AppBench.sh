#!/usr/bin/env bash
# bench/AppBench.sh VORNIK_EXE: the program's start-up time (process start to the main window's first
# paint, median of 5), then, idle with a target program in front and no key held, side by side with
# QJoyPad (another X11 joystick mapper from Debian, started the same way with no device) in alternating
# rounds of 5 s: resident memory (RSS and PSS), threads, context switches per second of all threads
# and CPU use. On the current DISPLAY. Prints `name: value` lines.
set -euo pipefail
exe=$1
cd "$(dirname "$exe")"
now_ms() { date +%s%3N; }
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

times=()
pid=0
for run in 1 2 3 4 5; do
    log=$(mktemp)
    t0=$(now_ms)
    VORNIK_REPORT_SHOWN=1 "$exe" 2>"$log" &
    pid=$!
    shown=""
    for _ in $(seq 1 400); do
        shown=$(sed -n 's/^vornik: shown at \([0-9]*\) ms$/\1/p' "$log")
        [ -n "$shown" ] && break
        sleep 0.025
    done
    rm -f "$log"
    [ -n "$shown" ] || { echo "AppBench: the main window never showed" >&2; exit 1; }
    times+=($((shown - t0)))
    if [ "$run" -lt 5 ]; then
        kill -TERM "$pid"
        wait "$pid" || true
    fi
done
pids+=("$pid")
startup=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "startup_runs_ms: ${times[*]}" >&2

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
    awk -v n="$name" '/^Pss:/ {printf "%s_pss_mb: %.1f\n", n, $2 / 1024}' "/proc/$p/smaps_rollup"
    awk -v n="$name" -v d="${cs[$3]}" -v s="${secs[$3]}" 'BEGIN { printf "%s_context_switches_per_s: %.0f\n", n, d / s }'
    awk -v n="$name" -v d="${cpu[$3]}" -v s="${secs[$3]}" \
        'BEGIN { printf "%s_idle_cpu_percent: %.3f\n", n, 100 * d / 1e9 / s }'
}

echo "startup_ms: $startup"
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
