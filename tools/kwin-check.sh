#!/usr/bin/env bash
# A check by hand of Vornik's KWin script against a real KWin: a headless kwin_wayland with XWayland
# on a private session bus, a listener owning Vornik's bus name that prints every call it gets (with
# its D-Bus signature), the script loaded as Vornik loads it, then an X11 and a native window opened,
# switched between, renamed and closed. Compare what it prints with docs/desktop-shells.md.
# Needs kwin-wayland and xdotool (both among the project's packages), xterm, gjs with GTK 3 and
# python3-dbus.  Usage: tools/kwin-check.sh [SCRIPT]
set -u
if [ "${1:-}" != --inside ]; then
    exec dbus-run-session -- "$0" --inside "$(realpath "${1:-$(dirname "$0")/../platform/wayland/shells/kwin/vornik-windows.js}")"
fi
script=$2
dir=$(mktemp -d /tmp/kwin-check.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR=$dir
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
# In a container kwin_wayland's file capability (cap_sys_resource) can forbid running it; a copy
# has none.
kwin=$(command -v kwin_wayland) || { echo "kwin_wayland is not installed"; exit 1; }
"$kwin" --version >/dev/null 2>&1 || { cp "$kwin" "$dir/kwin_wayland"; kwin=$dir/kwin_wayland; }

cat >"$dir/listener.py" <<'EOF'
import dbus, dbus.lowlevel, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
def show(v):
    return ("true" if v else "false") if isinstance(v, dbus.Boolean) else repr(str(v)) if isinstance(v, dbus.String) else str(v)
def listen(conn, msg):
    if not isinstance(msg, dbus.lowlevel.MethodCallMessage):
        return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED
    if msg.get_path() == "/step":
        print(msg.get_args_list()[0], flush=True)
    elif msg.get_path() != "/io/github/vornik/Windows":
        return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED
    else:
        print("  %s %s(%s)" % (msg.get_signature(), msg.get_member(), ", ".join(map(show, msg.get_args_list()))), flush=True)
    conn.send_message(dbus.lowlevel.MethodReturnMessage(msg))
    return dbus.lowlevel.HANDLER_RESULT_HANDLED
bus.add_message_filter(listen)
bus.request_name("io.github.vornik.Vornik", dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
GLib.MainLoop().run()
EOF
cat >"$dir/window.js" <<'EOF'
imports.gi.versions.Gtk = '3.0';
const {Gtk, GLib} = imports.gi;
Gtk.init(null);
const w = new Gtk.Window({title: ARGV[0]});
w.show_all();
GLib.timeout_add(0, 6000, () => { w.set_title(ARGV[0] + ' renamed'); return false; });
Gtk.main();
EOF
cat >"$dir/steps.sh" <<EOF
#!/usr/bin/env bash
kw() { gdbus call --session -d org.kde.KWin -o "\$@" 2>&1; }
# KWin keeps its session's output to itself: the steps go to the listener, in line with the calls.
step() { sleep 1.5; dbus-send --session --type=method_call --dest=io.github.vornik.Vornik /step io.github.vornik.Check.Step "string:\$*"; }
xterm -title "an X11 window" & x=\$!
GDK_BACKEND=wayland gjs "$dir/window.js" "a native window" & n=\$!
sleep 3
step "load the script (xterm pid \$x, native pid \$n)"
kw /Scripting -m org.kde.kwin.Scripting.unloadScript vornik-windows >/dev/null
id=\$(kw /Scripting -m org.kde.kwin.Scripting.loadScript "$script" vornik-windows | tr -dc '0-9-')
# KWin 6 has the script's object at /Scripting/ScriptID, KWin 5.27 at /ID.
kw /Scripting/Script\$id -m org.kde.kwin.Script.run >/dev/null || kw /\$id -m org.kde.kwin.Script.run >/dev/null
step "the native window renames itself; activate the X11 window (xdotool)"
xdotool search --name "an X11 window" windowactivate
step "close the native window"
kill \$n
step "close the X11 window"
kill \$x
step "unload the script, open a window"
kw /Scripting -m org.kde.kwin.Scripting.unloadScript vornik-windows >/dev/null
xterm -title late & sleep 1.5; kill \$!
step end
EOF
chmod +x "$dir/steps.sh"
/usr/bin/python3 "$dir/listener.py" 2>&1 &
"$kwin" --virtual --xwayland --width 1024 --height 768 --no-lockscreen --socket "kwin-check-$$" \
    --exit-with-session "$dir/steps.sh" 2>"$dir/kwin.log"
grep -i "script" "$dir/kwin.log"
