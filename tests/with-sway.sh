#!/usr/bin/env bash
# Runs a command on a Wayland desktop of its own: sway with its headless backend and XWayland, the
# command started as an X client of that XWayland. It gets DISPLAY (XWayland), WAYLAND_DISPLAY (for
# Wayland-native clients), SWAYSOCK (for swaymsg) and a runtime folder as XDG_RUNTIME_DIR and HOME.
# sway refuses to run as root: as root, sway and the command run as the user nobody, and XWayland
# admits only clients of that user. When the compositor cannot start, says why in one line and exits
# 77 (a skipped test). Usage: with-sway.sh COMMAND [ARGS...]
set -u
skip() {
    echo "SKIP: no Wayland compositor for this test: $*"
    exit 77
}
for tool in sway swaymsg Xwayland foot setpriv; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (tools/packages.sh installs it)"
done

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    "${as_user[@]}" test -x "$(type -P "$1")" || skip "the user nobody cannot run $1 (a folder above it is closed to others)"
fi

runtime=$(mktemp -d /tmp/vornik-sway.XXXXXX)
sway_pid=""
cleanup() {
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
[ "$(id -u)" -eq 0 ] && chown 65534:65534 "$runtime"
chmod 700 "$runtime"
cat >"$runtime/config" <<'CONFIG'
xwayland enable
output HEADLESS-1 resolution 1280x1024
exec sh -c 'echo "$DISPLAY" > "$XDG_RUNTIME_DIR/display.new" && mv "$XDG_RUNTIME_DIR/display.new" "$XDG_RUNTIME_DIR/display"'
CONFIG

export HOME="$runtime" XDG_RUNTIME_DIR="$runtime"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway --config "$runtime/config" >"$runtime/sway.log" 2>&1 &
sway_pid=$!
for _ in $(seq 1 100); do
    [ -s "$runtime/display" ] && break
    kill -0 "$sway_pid" 2>/dev/null || break
    sleep 0.05
done
if [ ! -s "$runtime/display" ]; then
    skip "sway did not start ($(grep -m1 -i 'error' "$runtime/sway.log" || tail -n1 "$runtime/sway.log"))"
fi
DISPLAY=$(cat "$runtime/display")
WAYLAND_DISPLAY=$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v lock | head -n1)
SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n1)
export DISPLAY WAYLAND_DISPLAY SWAYSOCK
# XWayland starts with its first client; one that cannot connect means no X server for the test.
"${as_user[@]}" xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || skip "XWayland did not start on $DISPLAY"

"${as_user[@]}" "$@"
