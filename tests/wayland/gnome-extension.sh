#!/bin/bash
# The GNOME Shell extension's side of the bus contract (docs/desktop-shells.md), on a private bus with
# the stand-in Shell running the extension's real windows.js: what GetWindows answers, one Changed per
# turn of changes, and nothing left on the bus after disable.
set -u
here=$(cd "$(dirname "$0")" && pwd)
for tool in gjs dbus-daemon gdbus; do
    command -v $tool >/dev/null || { echo "skipped: no $tool"; exit 77; }
done

scratch=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- signals seen:"
    cat "$scratch/monitor"
    exit 1
}
# Waits (far longer than it should take) until the command succeeds.
await() {
    for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done
    return 1
}

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$scratch/address" 2>/dev/null &
pids+=($!)
await test -s "$scratch/address" || fail "the bus did not start"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$scratch/address")

name=io.github.vornik.ShellWindows
# Every Changed from whoever sends it, one line each, from before the stand-in starts (a match made
# only when the name appears, as gdbus monitor makes it, can miss the first signals).
gjs -c "
    const {Gio, GLib} = imports.gi;
    const bus = Gio.DBus.session;
    bus.signal_subscribe(null, 'io.github.vornik.ShellWindows1', 'Changed', '/io/github/vornik/ShellWindows',
        null, Gio.DBusSignalFlags.NONE, (...args) => print('Changed ' + args[5].print(false)));
    bus.call_sync('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus', 'GetId', null, null,
        Gio.DBusCallFlags.NONE, -1, null);
    print('listening');
    new GLib.MainLoop(null, false).run();" >"$scratch/monitor" 2>&1 &
pids+=($!)
await grep -q listening "$scratch/monitor" || fail "the listener did not start"

coproc STANDIN { exec gjs -m "$here/standins/gnome-shell.js" 2>&1; }
pids+=($STANDIN_PID)
read -r -t 20 line <&"${STANDIN[0]}" && [ "$line" = ready ] || fail "the stand-in did not start: $line"

# Sends the commands (';' between commands, '|' between fields) and reads the answer to each.
send() {
    local commands command
    IFS=';' read -r -a commands <<<"$1"
    for command in "${commands[@]}"; do
        printf '%s\n' "${command//|/$'\t'}" >&"${STANDIN[1]}"
        read -r -t 20 answer <&"${STANDIN[0]}" || fail "no answer to $command"
        [[ $answer != error* ]] || fail "$command: $answer"
    done
}
# gdbus prints a number's type only where it first appears in a value: leave it out everywhere.
call() {
    gdbus call --session --dest $name --object-path /io/github/vornik/ShellWindows \
        --method io.github.vornik.ShellWindows1.GetWindows 2>&1 | sed 's/uint32 //g'
}
changes() { grep -c '^Changed ' "$scratch/monitor"; }
more_changes_than() { [ "$(changes)" -gt "$1" ]; }

editor="('1', 'Editor', 'foot', 42, false)"
notes="('1', 'Editor - notes', 'foot', 42, false)"
xterm="('2', 'X term', 'xterm', 0, true)"
game="('5', 'Game', 'game', 77, true)"
tool="('6', 'Tool', 'tool', 9, false)"
saving="('7', 'Save game?', 'game', 77, true)"
# Each row's commands make exactly one Changed, with the arguments given, which GetWindows then answers
# too. Windows 3 and 4 are a dock and a normal window kept off the task bar: neither is listed, the
# window in front is none while one of them is, and a new title of one changes nothing. A dialog is
# listed though it is kept off the task bar too.
rows=(
    "begin;window|1|Editor|foot|42|0;window|2|X term|xterm|-1|1;special|3|Dock;special|4|Tools|skip-taskbar;end
     => ('', [$editor, $xterm])"
    "activate|2 => ('2', [$editor, $xterm])"
    "activate|3 => ('', [$editor, $xterm])"
    "begin;window|5|Game|game|77|1;window|1|Editor - notes;activate|5;end => ('5', [$notes, $xterm, $game])"
    "close|2 => ('5', [$notes, $game])"
    "window|3|Dock at 12:01;activate|1 => ('1', [$notes, $game])"
    "disable;close|1;enable;window|6|Tool|tool|9|0 => ('', [$game, $tool])"
    "begin;dialog|7|Save game?|game|77|1;activate|7;end => ('7', [$game, $tool, $saving])"
)
seen=0
for row in "${rows[@]}"; do
    row=$(printf '%s' "$row" | tr -s '\n ' ' ')
    commands=${row%% => *}
    expected=${row#* => }
    send "$commands"
    await more_changes_than $seen || fail "no Changed after $commands"
    seen=$((seen + 1))
    [ "$(changes)" -eq $seen ] || fail "more than one Changed after $commands"
    got=$(grep '^Changed ' "$scratch/monitor" | tail -n1 | sed 's/^Changed //')
    [ "$got" = "$expected" ] || fail "after $commands: Changed $got, expected $expected"
    [ "$(call)" = "(1, ${expected#(}" ] || fail "after $commands: GetWindows answers $(call)"
done

version=$(gdbus call --session --dest $name --object-path /io/github/vornik/ShellWindows \
    --method org.freedesktop.DBus.Properties.Get io.github.vornik.ShellWindows1 Version)
[ "$version" = "(<uint32 1>,)" ] || fail "Version is $version"

# Disabled, the extension leaves nothing behind: no name, no handler on the Shell's objects (an object
# left exported makes the enable above fail).
send disable
owned=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner $name)
[ "$owned" = "(false,)" ] || fail "the name is still owned after disable"
send handlers
[ "$answer" = 0 ] && read -r -t 20 answer <&"${STANDIN[0]}" || fail "$answer handlers left connected after disable"
[ "$(changes)" -eq $seen ] || fail "more than one Changed after the last row"
printf 'quit\n' >&"${STANDIN[1]}"
wait $STANDIN_PID || fail "the stand-in ended with status $?"
echo "gnome extension: ok ($seen changes)"
