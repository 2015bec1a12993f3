#!/usr/bin/env bash
# Runs a command on a Plasma desktop of its own: KWin (kwin_wayland, its virtual backend, headless)
# with its XWayland, on a session bus of its own, as Plasma has it: KWin on the bus as org.kde.KWin.
# The command gets DISPLAY (XWayland), WAYLAND_DISPLAY (KWin's socket), DBUS_SESSION_BUS_ADDRESS and
# a runtime folder as XDG_RUNTIME_DIR. When KWin cannot start, says why in one line and exits 77 (a
# skipped test). Usage: with-kwin.sh COMMAND [ARGS...]
set -u
skip() {
    echo "SKIP: no KWin for this test: $*"
    exit 77
}
for tool in dbus-daemon xprop; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (tools/packages.sh installs it)"
done
kwin=$(command -v kwin_wayland) || skip "kwin_wayland is not installed (Debian: kwin-wayland)"

runtime=$(mktemp -d /tmp/vornik-kwin.XXXXXX)
chmod 700 "$runtime"
bus="" kwin_pid="" session=""
cleanup() {
    # KWin ends with its session (and XWayland with KWin); the bus goes last.
    [ -n "$session" ] && kill "$session" 2>/dev/null
    [ -n "$kwin_pid" ] && kill "$kwin_pid" 2>/dev/null && wait "$kwin_pid" 2>/dev/null
    [ -n "$bus" ] && kill "$bus" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime/config
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XAUTHORITY

read -r address bus < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | tr '\n' ' ')
[ -n "$bus" ] || skip "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=$address

# In a container kwin_wayland's file capability (cap_sys_resource) can forbid running it; a copy has none.
"$kwin" --version >/dev/null 2>&1 || { cp "$kwin" "$runtime/kwin_wayland"; kwin=$runtime/kwin_wayland; }
# KWin's session: a process that tells where XWayland and KWin's socket are, then waits.
cat >"$runtime/session" <<'EOF'
#!/bin/sh
printf 'DISPLAY=%s\nWAYLAND_DISPLAY=%s\nXAUTHORITY=%s\nsession=%s\n' "$DISPLAY" "$WAYLAND_DISPLAY" "${XAUTHORITY:-}" $$ \
    >"$XDG_RUNTIME_DIR/env.new"
mv "$XDG_RUNTIME_DIR/env.new" "$XDG_RUNTIME_DIR/env"
exec sleep 3600
EOF
chmod +x "$runtime/session"
"$kwin" --virtual --xwayland --width 1280 --height 1024 --no-lockscreen --socket wayland-kwin \
    --exit-with-session "$runtime/session" >"$runtime/kwin.log" 2>&1 &
kwin_pid=$!
for _ in $(seq 1 200); do
    [ -s "$runtime/env" ] && break
    kill -0 "$kwin_pid" 2>/dev/null || break
    sleep 0.05
done
[ -s "$runtime/env" ] || skip "kwin_wayland did not start ($(grep -m1 -i 'error\|fail' "$runtime/kwin.log" || tail -n1 "$runtime/kwin.log"))"
# shellcheck disable=SC1091
. "$runtime/env"
[ -n "$DISPLAY" ] || skip "KWin started without XWayland"
export DISPLAY WAYLAND_DISPLAY
if [ -n "$XAUTHORITY" ]; then export XAUTHORITY; else unset XAUTHORITY; fi
# KWin starts XWayland with its first client; one that cannot connect means no X server for the test.
xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || skip "XWayland did not start on $DISPLAY"

"$@"
