#!/usr/bin/env bash
# bench/AppBench.sh VORNIK_EXE: the program's start-up time (process start to the main window's first
# paint, median of 5), its resident memory after start-up, and its CPU use over 20 s with a target
# program in front and no key held, on the current DISPLAY. Prints `name: value` lines.
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

sleep 1
rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")

# A target program in front, chosen with the hot key CTRL+J as a user would.
xmessage -name vornik-target "the target program" &
pids+=($!)
target=$(timeout 10 xdotool search --sync --classname vornik-target | head -1)
[ -n "$target" ] || { echo "AppBench: the target program did not start" >&2; exit 1; }
xdotool windowfocus --sync "$target"
xdotool keydown ctrl j
sleep 0.3
xdotool keyup j ctrl
sleep 1

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep 20
after=$(ticks)

echo "startup_ms: $startup"
awk -v kb="$rss_kb" 'BEGIN { printf "rss_mb: %.1f\n", kb / 1024 }'
awk -v d="$((after - before))" -v hz="$hz" 'BEGIN { printf "idle_cpu_percent: %.2f\n", 100 * d / hz / 20 }'
