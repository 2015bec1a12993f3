#!/usr/bin/env bash
# bench/run kwin: the round trip the program makes into KWin before each key-down, button press or
# wheel notch (org.freedesktop.DBus.Peer.Ping to org.kde.KWin, answered on KWin's main thread), in a
# real KWin with an X and a native window open (run through tests/with-kwin.sh), next to the same
# Ping to the bus itself. Prints
#   kwin_ping_p50_ms, kwin_ping_p99_ms, kwin_ping_max_ms, bus_ping_p50_ms, bus_ping_p99_ms, kwin_ping_samples
# Usage: KwinPing.sh X_RECORDER NATIVE_RECORDER [PINGS]
set -u
xrecorder=$1 native=$2 pings=${3:-200}
dir_in=$XDG_RUNTIME_DIR
. "$(dirname "$0")/../tests/wayland/script-common.sh"
mkfifo "$dir/hold"
exec 4<>"$dir/hold"
"$xrecorder" --title xgame <"$dir/hold" >/dev/null 2>&1 &
started+=($!)
"$native" --title game --app-id vornik.game <"$dir/hold" >/dev/null 2>&1 &
started+=($!)
sleep 1
cat >"$dir/ping.js" <<'JS'
const {Gio, GLib} = imports.gi;
const [pings, ...peers] = ARGV;
for (const [peer, prefix] of peers.map(p => p.split('='))) {
    const ms = [];
    for (let i = 0; i < Number(pings) + 10; i++) {
        const start = GLib.get_monotonic_time();
        Gio.DBus.session.call_sync(peer, '/', 'org.freedesktop.DBus.Peer', 'Ping', null, null,
            Gio.DBusCallFlags.NONE, -1, null);
        if (i >= 10) // the first calls warm up both sides
            ms.push((GLib.get_monotonic_time() - start) / 1000);
    }
    ms.sort((a, b) => a - b);
    const rank = p => ms[Math.max(Math.ceil(p * ms.length), 1) - 1].toFixed(3);
    print(`${prefix}_ping_p50_ms: ${rank(0.5)}`);
    print(`${prefix}_ping_p99_ms: ${rank(0.99)}`);
    if (prefix === 'kwin') {
        print(`kwin_ping_max_ms: ${rank(1)}`);
        print(`kwin_ping_samples: ${ms.length}`);
    }
}
JS
gjs "$dir/ping.js" "$pings" org.kde.KWin=kwin org.freedesktop.DBus=bus
