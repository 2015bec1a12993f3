#!/usr/bin/env bash
# Runs a command under a private Xvfb of its own, so X11 tests never touch the user's display
# and work on a machine with none. Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
fdfile=$(mktemp)
exec 3>"$fdfile"
# -noreset: by default the server resets when its last client leaves, and a client that connects
# during the reset is refused; a test that runs programs one after another would then fail at random.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac -noreset >/dev/null 2>&1 &
xpid=$!
exec 3>&-
display=""
for _ in $(seq 1 100); do
    display=$(cat "$fdfile" 2>/dev/null)
    [ -n "$display" ] && break
    sleep 0.05
done
rm -f "$fdfile"
if [ -z "$display" ]; then
    echo "with-xvfb: Xvfb did not start" >&2
    kill "$xpid" 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"
"$@"
rc=$?
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
exit $rc
