#!/usr/bin/env bash
# soak.sh DRIVER PROGRAM PADS_LIB SECONDS [SEED]: the soak run on a private X server with a window
# manager and a session bus (for the accessibility interface), printing the driver's figures.
# SOAK_WITHOUT="unplug stop-boxes ..." leaves kinds of action out.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
driver=$1 program=$2 pads=$3 seconds=$4 seed=${5:-}
export SOAK_DRIVER=$driver SOAK_PROGRAM=$program SOAK_PADS=$pads SOAK_SECONDS=$seconds SOAK_SEED=$seed
export SOAK_SCREEN_READER="$here/screen-reader.py"
# A program built with AddressSanitizer wants its runtime first among the libraries it loads. (grep
# reads all of ldd's output: with -q it could stop early, and under pipefail ldd's broken pipe would
# fail the test.)
if ldd "$program" | grep libasan >/dev/null; then
    export VORNIK_SOAK_ASAN_RUNTIME
    VORNIK_SOAK_ASAN_RUNTIME=$(ldd "$program" | awk '/libasan/ { print $3 }')
    # Leaks are measured as the run's memory growth; the toolkit's own at exit are not ours to judge.
    export ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 UBSAN_OPTIONS=print_stacktrace=1
fi
export NO_AT_BRIDGE=0
run() {
    openbox >/dev/null 2>&1 &
    local wm=$!
    sleep 0.5
    local args=(--program "$SOAK_PROGRAM" --pads-lib "$SOAK_PADS" --screen-reader "$SOAK_SCREEN_READER"
                --seconds "$SOAK_SECONDS")
    [ -n "$SOAK_SEED" ] && args+=(--seed "$SOAK_SEED")
    local kind
    for kind in ${SOAK_WITHOUT:-}; do args+=(--without "$kind"); done
    local rc=0
    "$SOAK_DRIVER" "${args[@]}" || rc=$?
    kill "$wm" 2>/dev/null || true
    return $rc
}
export -f run
exec "$here/../with-xvfb.sh" dbus-run-session -- bash -c run
