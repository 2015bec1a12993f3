#!/usr/bin/env bash
# A signal that comes while a start-up box is up ("miss file !": no key-map file beside the program)
# ends the program at once, as it does later on. Usage: startup-signal.sh PROGRAM (under an X server).
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$1" "$dir/vornik"
QT_QPA_PLATFORM=xcb "$dir/vornik" >"$dir/out" 2>&1 &
pid=$!
# The box is the program's first window.
for _ in $(seq 1 200); do
    xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break
    sleep 0.05
done
if ! xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
    echo "no window came up"
    kill -9 "$pid" 2>/dev/null
    exit 1
fi
kill -TERM "$pid"
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then
    echo "still running 5 s after SIGTERM during start-up"
    kill -9 "$pid"
    exit 1
fi
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
    echo "exit status $status"
    cat "$dir/out"
    exit 1
fi
echo "ended after SIGTERM during start-up"
