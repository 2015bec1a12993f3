// Tells Vornik, over the session bus, which windows KWin shows and which one is in front.
// Vornik loads this file with org.kde.kwin.Scripting.loadScript and unloads it when it exits;
// see docs/desktop-shells.md for the calls and their meaning.
//
// KWin runs it as a plain script (no imports). KWin 5.27 calls windows "clients"
// (clientList, clientAdded, activeClient...), KWin 6 calls them "windows"; both are served.

var SERVICE = "io.github.vornik.Vornik";
var PATH = "/io/github/vornik/Windows";
var IFACE = "io.github.vornik.Windows1";
var VERSION = 1;

var kwin6 = typeof workspace.windowList === "function";
var api = kwin6
    ? { list: "windowList", added: "windowAdded", removed: "windowRemoved",
        activated: "windowActivated", active: "activeWindow" }
    : { list: "clientList", added: "clientAdded", removed: "clientRemoved",
        activated: "clientActivated", active: "activeClient" };

// Windows told to Vornik, by id, so a window is said closed only when it was said open.
var told = {};
// Windows whose changes are followed, by id.
var followed = {};

function listed(w) {
    return !!w && (w.normalWindow || w.dialog) && !w.specialWindow;
}

// The five fields of a window record. internalId is a QUuid object, which callDBus cannot send:
// String() makes it "{...}" text.
function record(w) {
    return {
        id: String(w.internalId),
        title: String(w.caption || ""),
        program: String(w.resourceClass || ""),
        pid: w.pid > 0 ? w.pid : 0,
        x11: isX11(w)
    };
}

// Only an X11 window has an X window id (windowId; a native window has none). The class name
// ("KWin::XwaylandWindow(0x...)" on 5.27, "KWin::X11Window(0x...)") says the same, should a later
// KWin drop windowId.
function isX11(w) {
    return (typeof w.windowId === "number" && w.windowId > 0) || /^KWin::(X11|Xwayland)Window\(/.test(String(w));
}

function call(method, r) {
    callDBus(SERVICE, PATH, IFACE, method, r.id, r.title, r.program, r.pid, r.x11);
}

function tell(w) {
    if (!listed(w)) {
        return;
    }
    var r = record(w);
    told[r.id] = true;
    call("Window", r);
}

function activated(w) {
    if (listed(w)) {
        // KWin activates a new native window before it announces it: tell the window first.
        if (!told[String(w.internalId)]) {
            added(w);
        }
        call("Activated", record(w));
    } else {
        call("Activated", { id: "", title: "", program: "", pid: 0, x11: false });
    }
}

function follow(w) {
    // A caption or class that changes is told again; if it is the window in front, that too.
    var again = function () {
        tell(w);
        if (workspace[api.active] === w) {
            activated(w);
        }
    };
    w.captionChanged.connect(again);
    if (w.windowClassChanged) {
        w.windowClassChanged.connect(again);
    }
}

function added(w) {
    var id = String(w.internalId);
    if (!followed[id]) {
        followed[id] = true;
        follow(w);
    }
    if (!told[id]) {
        tell(w);
    }
}

function removed(w) {
    var id = String(w.internalId);
    delete followed[id];
    if (told[id]) {
        delete told[id];
        callDBus(SERVICE, PATH, IFACE, "Closed", id);
    }
}

callDBus(SERVICE, PATH, IFACE, "Reset", VERSION);
var windows = workspace[api.list]();
for (var i = 0; i < windows.length; ++i) {
    added(windows[i]);
}
activated(workspace[api.active]);

workspace[api.added].connect(added);
workspace[api.removed].connect(removed);
workspace[api.activated].connect(activated);
